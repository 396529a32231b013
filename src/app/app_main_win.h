// The program's run: one instance at a time, only when installed, one main window.
#pragma once

namespace orvela {

class Prompt;
class RegistryBackend;

inline constexpr const char* kAlreadyRunningSuffix = " は実行中です。";
inline constexpr const char* kNotInstalledMessage = "インストールして、ご使用下さい！！";
inline constexpr const char* kSettingsKeyNotMadeMessage =
    "このユーザーの設定キー（HKEY_CURRENT_USER\\Software\\Ｖ＆Ｌ\\Orvela）を作成できないか、"
    "書き込みが許可されていません。管理者にご確認下さい。";

// Returns the process exit code: 0 in every case.
int RunApplication(Prompt& prompt, RegistryBackend& registry);

}  // namespace orvela
