#include <doctest.h>

#include "disabled_box/entry.h"
#include "rows/entry_colours.h"

using namespace orvela;

TEST_CASE("row colours tell the source") {
  const int all_users = 1;
  CHECK(EntryColour(kUserRunKey, "", all_users) == Rgb(223, 239, 255));
  CHECK(EntryColour(kMachineKey, "Run", all_users) == Rgb(232, 223, 255));
  CHECK(EntryColour(kMachineKey, "RunOnce", all_users) == Rgb(236, 203, 237));
  CHECK(EntryColour(kMachineKey, "", all_users) == Rgb(236, 203, 237));
  CHECK(EntryColour(1, "", all_users) == Rgb(255, 236, 210));
  CHECK(EntryColour(0, "", all_users) == Rgb(255, 255, 215));
  CHECK(EntryColour(3, "", all_users) == Rgb(255, 255, 215));
  CHECK(EntryColour(0, "", -1) == Rgb(255, 255, 215));
}

TEST_CASE("registry location hints") {
  CHECK(LocationHint(0) == "ユーザー固有の設定");
  CHECK(LocationHint(1) == "全てのユーザーに共通の設定");
  CHECK(LocationHint(2) == "全てのユーザーに共通の設定(起動時に一度だけ実行)");
  CHECK(LocationHint(3) == "全てのユーザーに共通の設定（32ビットのプログラム）");
  CHECK(LocationHint(4) == "全てのユーザーに共通の設定（32ビットのプログラム）(起動時に一度だけ実行)");
  CHECK(LocationHint(7) == "全てのユーザーに共通の設定（グループ ポリシー）");
  CHECK(LocationHint(8).empty());
  CHECK(LocationHint(-1).empty());
}
