#include <doctest.h>

#include "startup/startup_adding.h"
#include "startup/startup_test_support.h"

using namespace orvela;
using namespace orvela::testing;

TEST_CASE("Add dialog: the location list of each kind opens on the preferred name") {
  const std::vector<std::string> profiles = TestLocations().profiles();  // All Users, hanako, Public, taro
  // Kind 0 opens on the user's own profile, whatever the case of its name.
  std::vector<std::string> items = AddLocationItems(0, profiles, {0, 1, 2});
  CHECK(items == profiles);
  CHECK(items[PreferredItem(items, "TARO")] == "taro");
  // Kind 1 lists the offered Run locations and opens on the user's Run key.
  items = AddLocationItems(1, profiles, {0, 1, 2, 3});
  CHECK(items == std::vector<std::string>{"HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE Run", "HKEY_LOCAL_MACHINE RunOnce",
                                          "HKEY_LOCAL_MACHINE Run （32ビット）"});
  CHECK(PreferredItem(items, "taro") == 0);
  // Back to kind 0: the user's profile again; a name that is only part of an item is no match.
  items = AddLocationItems(0, profiles, {0, 1, 2});
  CHECK(items[PreferredItem(items, "taro")] == "taro");
  CHECK(PreferredItem(items, "tar") == 0);
  CHECK(PreferredItem({}, "taro") == 0);
}

TEST_CASE("The file chooser remembers the folder of the chosen file") {
  CHECK(FolderPartOf("C:\\Tools\\MyApp.exe") == "C:\\Tools");
  CHECK(FolderPartOf("C:\\MyApp.exe") == "C:\\");
  CHECK(FolderPartOf("D:MyApp.exe") == "D:");
  CHECK(FolderPartOf("\\\\server\\share\\a.exe") == "\\\\server\\share");
  CHECK(FolderPartOf("C:\\表\\a.exe") == "C:\\表");
  CHECK(FolderPartOf("a.exe") == "");
}

TEST_CASE("A program added as a Run value") {
  StartupFixture f;

  SUBCASE("named after its file, the path as its command") {
    CHECK(AddRunValue(f.context, "C:\\Tools\\MyApp.exe", 0).changed);
    CHECK(f.Run(0, "MyApp") == StringValue("C:\\Tools\\MyApp.exe"));
    CHECK(f.prompt.shown().empty());
  }
  SUBCASE("a path with a blank is quoted, in any location") {
    CHECK(AddRunValue(f.context, "C:\\Program Files\\My Tool\\tool.v2.exe", 2).changed);
    CHECK(f.Run(2, "tool.v2") == StringValue("\"C:\\Program Files\\My Tool\\tool.v2.exe\""));
  }
  SUBCASE("a path is a plain string, whatever \"%\" it holds, and a drive root names no value") {
    CHECK(AddRunValue(f.context, "C:\\%APPDATA%\\tool.exe", 0).changed);
    CHECK(f.Run(0, "tool") == StringValue("C:\\%APPDATA%\\tool.exe"));
    CHECK_FALSE(AddRunValue(f.context, "D:\\", 0).changed);
    CHECK_FALSE(f.Run(0, ""));
    CHECK(f.prompt.messages() == std::vector<std::string>{"[D:\\]\n" + std::string(add_messages::kNoValueName)});
  }
  SUBCASE("another value of that name is kept when the user answers No") {
    f.SetRun(0, "MyApp", "\"C:\\Old\\MyApp.exe\" /tray");
    f.prompt.AnswerNo();
    CHECK_FALSE(AddRunValue(f.context, "C:\\Tools\\MyApp.exe", 0).changed);
    CHECK(f.Run(0, "MyApp") == StringValue("\"C:\\Old\\MyApp.exe\" /tray"));
    REQUIRE(f.prompt.shown().size() == 1);
    CHECK(f.prompt.shown()[0].kind == ScriptedPrompt::Kind::kYesNo);
    CHECK(f.prompt.shown()[0].text.find("\"C:\\Old\\MyApp.exe\" /tray") != std::string::npos);
  }
  SUBCASE("and replaced when the user answers Yes") {
    f.SetRun(0, "MyApp", "C:\\Old\\MyApp.exe");
    f.prompt.AnswerYes();
    CHECK(AddRunValue(f.context, "C:\\Tools\\MyApp.exe", 0).changed);
    CHECK(f.Run(0, "MyApp") == StringValue("C:\\Tools\\MyApp.exe"));
  }
  SUBCASE("the same command again asks nothing and writes nothing") {
    f.SetRun(1, "MyApp", "C:\\Tools\\MyApp.exe");
    CHECK_FALSE(AddRunValue(f.context, "C:\\Tools\\MyApp.exe", 1).changed);
    CHECK(f.prompt.shown().empty());
  }
}
