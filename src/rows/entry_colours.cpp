#include "rows/entry_colours.h"

#include "disabled_box/entry.h"

namespace orvela {

Colour EntryColour(int32_t key, std::string_view kind, int all_users_index) {
  if (key == kTaskKey) return kTaskColour;
  if (key == kUserRunKey || key == kMachineKey) {
    if (kind == kWinlogonKind) return kWinlogonColour;
    if (kind.rfind("PolicyRun", 0) == 0) return kPolicyRunColour;
  }
  if (key == kUserRunKey) return kind == "RunOnce" ? kUserRunOnceColour : kUserRunColour;
  if (key == kMachineKey)
    return kind == "Run" || kind == "Run32" ? kMachineRunColour : kMachineRunOnceColour;
  if (key == all_users_index) return kAllUsersFolderColour;
  return kFolderColour;
}

std::string LocationHint(int index) {
  switch (index) {
    case 0:
      return "ユーザー固有の設定";
    case 1:
      return "全てのユーザーに共通の設定";
    case 2:
      return "全てのユーザーに共通の設定(起動時に一度だけ実行)";
    case 3:
      return "全てのユーザーに共通の設定（32ビットのプログラム）";
    case 4:
      return "全てのユーザーに共通の設定（32ビットのプログラム）(起動時に一度だけ実行)";
    case 5:
      return "ユーザー固有の設定(起動時に一度だけ実行)";
    case 6:
      return "ユーザー固有の設定（グループ ポリシー）";
    case 7:
      return "全てのユーザーに共通の設定（グループ ポリシー）";
    default:
      return "";
  }
}

}  // namespace orvela
