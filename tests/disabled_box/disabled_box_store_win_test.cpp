// A Disabled Box file another program holds open without sharing: it is there, so the box
// does not start empty, and it is not written over at close.
#include <doctest.h>

#include <windows.h>

#include "disabled_box/disabled_box_store.h"
#include "platform/file_io.h"
#include "platform/handles_win.h"
#include "platform/scripted_prompt.h"
#include "platform/wide_win.h"

using namespace orvela;

TEST_CASE("a locked Disabled Box file is left as it was for the whole run") {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  DisabledBoxStore box;
  box.path = Narrow(temp) + "orvela-locked-startup.txt";
  const std::string bytes = "User@Tool=C:\\Tools\\tool.exe /q\r\n";
  REQUIRE(WriteWholeFileReplacing(box.path, bytes));
  ScriptedPrompt prompt;
  {
    UniqueFile lock(CreateFileW(Wide(box.path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    REQUIRE(lock);
    CHECK(ReadFileIfPresent(box.path).status == FileRead::Status::kUnreadable);
    box.Load(prompt);
    CHECK(box.state == DisabledBoxStore::State::kUnreadable);
    REQUIRE(prompt.messages().size() == 1);
    CHECK(prompt.messages()[0] ==
          box.path +
              "\n\nこのファイルを読み込めませんでした。他のプログラムが使用中か、読み取りの権限がありません。\n"
              "内容を失わないよう、このファイルは今回は上書きせず、無効ボックスの変更もできません。");
  }
  // The other program let go before the close: still nothing is written over it.
  CHECK_FALSE(box.Commit({}));
  box.SaveAtClose(prompt);
  CHECK(ReadWholeFile(box.path) == bytes);
  DeleteFileW(Wide(box.path).c_str());
}
