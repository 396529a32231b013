#include <doctest.h>

#include "startup/task_definition.h"

using namespace orvela;

namespace {

constexpr char kLogonTask[] = R"(<?xml version="1.0" encoding="UTF-16"?>
<!-- <Task> in a comment is no element -->
<Task version="1.4" xmlns="http://schemas.microsoft.com/windows/2004/02/mit/task">
  <Triggers><CalendarTrigger/><LogonTrigger><UserId>taro</UserId></LogonTrigger></Triggers>
  <Settings><Enabled>false</Enabled></Settings>
  <Actions Context="Author"><ComHandler><ClassId>{0}</ClassId></ComHandler>
    <Exec><Command>"C:\Program Files\A&amp;B\agent.exe"</Command>
      <Arguments><![CDATA[/tray <x>]]> &#x3042;&#12354;</Arguments></Exec>
    <Exec><Command>second.exe</Command></Exec></Actions>
</Task>)";

}  // namespace

TEST_CASE("a task definition: the log-on trigger, the switch and the first program it starts") {
  const std::optional<TaskDefinition> read = ReadTaskDefinition(kLogonTask);
  REQUIRE(read);
  CHECK(read->logon);
  CHECK_FALSE(read->enabled);
  CHECK(read->command == "\"C:\\Program Files\\A&B\\agent.exe\"");
  CHECK(read->arguments == "/tray <x> ああ");
  CHECK(TaskCommandLine(*read) == "\"C:\\Program Files\\A&B\\agent.exe\" /tray <x> ああ");

  // A log-on trigger switched off starts nothing; a definition given back without its
  // triggers and actions has neither.
  CHECK_FALSE(ReadTaskDefinition("<t:Task xmlns:t='x'><t:Triggers><t:LogonTrigger><t:Enabled>false"
                                 "</t:Enabled></t:LogonTrigger></t:Triggers></t:Task>")->logon);
  const auto bare = ReadTaskDefinition("<Task><Triggers/><Principal/><Actions><Exec/></Actions></Task>");
  CHECK((!bare->logon && bare->enabled && bare->command.empty()));

  for (const char* broken : {"", "<Task>", "<Task><a></b></Task>", "<Task/><Task/>", "<Other/>",
                             "<Task><!-- open</Task>", "<Task a='>"}) {
    CAPTURE(broken);
    CHECK_FALSE(ReadTaskDefinition(broken));
  }
}

TEST_CASE("task files: UTF-16 with its byte-order mark, or UTF-8") {
  CHECK(TaskFileText(std::string("\xFF\xFE<\0T\0\x42\x30", 8)) == "<Tあ");
  CHECK(TaskFileText("\xEF\xBB\xBF<Task/>") == "<Task/>");
  CHECK(TaskFileText("<Task/>") == "<Task/>");
  CHECK_FALSE(TaskFileText(std::string("<\0T\0", 4)));  // UTF-16 without its mark
  CHECK_FALSE(TaskFileText("\xFF\xFE<"));               // cut inside a character
  CHECK_FALSE(TaskFileText("<Task>\xE3\x81</Task>"));
}
