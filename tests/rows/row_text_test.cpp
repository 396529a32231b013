#include <doctest.h>

#include "rows/row_text.h"

using namespace orvela;

namespace {

EntryRecord Entry(int32_t key, const char* kind, const char* name, const char* command) {
  EntryRecord record;
  record.Key = key;
  record.Kind = kind;
  record.Name = name;
  record.Command = command;
  return record;
}

}  // namespace

TEST_CASE("startup rows say what the drawing shows, colours included") {
  EntryRecord user = Entry(kUserRunKey, "", "表計算", "\"C:\\Apps\\calc.exe\" /min");
  CHECK(StartupRowText(user, "") == "表計算、ユーザーの Run、\"C:\\Apps\\calc.exe\" /min");

  user.Missing = true;
  user.Company = "星ソフトウェア";
  user.Description = "計算";
  CHECK(StartupRowText(user, "") ==
        "表計算、見つかりません、ユーザーの Run、\"C:\\Apps\\calc.exe\" /min、会社名：星ソフトウェア、説明：計算");

  CHECK(StartupSourceText(Entry(kMachineKey, "Run", "a", "b"), "") == "全ユーザーの Run");
  CHECK(StartupSourceText(Entry(kMachineKey, "RunOnce", "a", "b"), "") == "全ユーザーの RunOnce");

  // The marks the drawing puts beside the name are said after the source.
  EntryRecord marked = Entry(kMachineKey, "RunOnce32", "更新", "u.exe");
  marked.WindowsDisabled = true;
  marked.Returned = true;
  CHECK(StartupRowText(marked, "") == "更新、全ユーザーの RunOnce、（32ビット） Windows で無効 復活、u.exe");

  // A Disabled Box folder entry shows the folder it goes back to, not its target.
  EntryRecord folder = Entry(2, "", "メール", "C:\\Mail\\mail.exe");
  folder.Location = "C:\\users\\taro\\Startup";
  CHECK(StartupRowText(folder, "taro") == "メール、スタートアップ フォルダ （taro）、C:\\users\\taro\\Startup");

  EntryRecord unreadable = Entry(0, "", "壊れた行", "壊れた行");
  unreadable.Unrecognised = true;
  CHECK(StartupRowText(unreadable, "All Users") == "壊れた行、読めない行、壊れた行");
}

TEST_CASE("SendTo rows: the Disabled Box name, the kind its colour tells, the path") {
  EntryRecord live = Entry(0, "", "メール", "C:\\SendTo\\メール.lnk");
  live.Missing = true;
  CHECK(SendToRowText(live) == "メール、見つかりません、C:\\SendTo\\メール.lnk");

  EntryRecord boxed = Entry(0, "", "Ann@#@Mail", "C:\\Mail\\mail.exe");
  boxed.ShortcutForm = true;
  boxed.Location = "C:\\Mail\\mail.exe";
  CHECK(SendToShownName(boxed.Name) == "Mail （Ann）");
  CHECK(SendToRowText(boxed) == "Mail （Ann）、ショートカット、C:\\Mail\\mail.exe");
  boxed.ItemIdForm = true;
  CHECK(SendToRowText(boxed) == "Mail （Ann）、ショートカット （シェル アイテム）、C:\\Mail\\mail.exe");
}

TEST_CASE("uninstall rows: title or 不明, date, command, publisher") {
  CHECK(UninstallRowText("表ツール", "20240102", "C:\\t\\uninst.exe /x", "星ソフトウェア") ==
        "表ツール、20240102、C:\\t\\uninst.exe /x、発行元：星ソフトウェア");
  CHECK(UninstallRowText("", "", "msiexec /x{1}", "") == "不明、msiexec /x{1}");
}
