#include "platform/system_error.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace orvela {
namespace {

struct Reason {
  SystemError code;
  std::string_view text;
};
constexpr std::array<Reason, 14> kReasons{{
    {kErrorFileNotFound, "指定されたファイルまたはキーが見つかりません。"},
    {kErrorPathNotFound, "指定されたフォルダーまたはパスが見つかりません。"},
    {kErrorAccessDenied, "アクセスが拒否されました（権限がありません）。"},
    {kErrorWriteProtect, "書き込みが禁止されているメディアです。"},
    {kErrorNotReady, "ドライブの準備ができていません。"},
    {kErrorSharingViolation, "ほかのプログラムが使用中です。"},
    {kErrorLockViolation, "ほかのプログラムがファイルの一部をロックしています。"},
    {kErrorHandleDiskFull, "ディスクの空き領域が足りません。"},
    {kErrorFileExists, "同じ名前のファイルが既にあります。"},
    {kErrorDiskFull, "ディスクの空き領域が足りません。"},
    {kErrorInvalidName, "名前に使えない文字が含まれています。"},
    {kErrorAlreadyExists, "同じ名前のファイルが既にあります。"},
    {kErrorFilenameTooLong, "ファイル名またはパスが長すぎます。"},
    {kErrorKeyDeleted, "キーは既に削除されています。"},
}};

}  // namespace

std::string SystemErrorText(SystemError code) {
  const auto known = std::find_if(kReasons.begin(), kReasons.end(),
                                   [code](const Reason& reason) { return reason.code == code; });
  if (known != kReasons.end()) return std::string(known->text);
  if (std::optional<std::string> system = SystemJapaneseMessage(code)) return *system;
  return "システム エラー（コード " + std::to_string(code) + "）が発生しました。";
}

}  // namespace orvela
