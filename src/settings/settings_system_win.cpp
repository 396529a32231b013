#include "settings/settings_system_win.h"

#include <shellapi.h>

#include "platform/app_title.h"
#include "platform/handles_win.h"
#include "platform/wide_win.h"
#include "settings/tuning_rules.h"

namespace orvela {
namespace {

bool Started(HINSTANCE result) { return reinterpret_cast<INT_PTR>(result) > 32; }

bool SetPrivilege(Prompt& prompt, const wchar_t* privilege, DWORD attributes) {
  UniqueHandle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.put())) {
    prompt.ShowMessage("OpenProcessToken", kAppTitle, PromptIcon::kError);
    return false;
  }
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = attributes;
  if (!LookupPrivilegeValueW(nullptr, privilege, &privileges.Privileges[0].Luid)) {
    prompt.ShowMessage("LookupPrivilegeValue", kAppTitle, PromptIcon::kError);
    return false;
  }
  // Success only when every privilege was adjusted: the call says TRUE without one it lacks.
  SetLastError(ERROR_SUCCESS);
  if (!AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr) || GetLastError() != ERROR_SUCCESS) {
    prompt.ShowMessage("AdjustTokenPrivileges", kAppTitle, PromptIcon::kError);
    return false;
  }
  return true;
}

}  // namespace

bool Win32Launch::Run(std::string_view program, std::string_view parameters) {
  return Started(ShellExecuteW(owner_, L"open", Wide(program).c_str(), Wide(parameters).c_str(), nullptr,
                               SW_SHOWNORMAL));
}

bool Win32Launch::OpenWebPage(std::string_view address) {
  return OpenWebPageWith(address, [this](std::string_view file, std::string_view parameters) {
    return Run(file, parameters);
  });
}

bool EnablePrivilege(Prompt& prompt, const wchar_t* privilege) {
  return SetPrivilege(prompt, privilege, SE_PRIVILEGE_ENABLED);
}

bool DisablePrivilege(Prompt& prompt, const wchar_t* privilege) { return SetPrivilege(prompt, privilege, 0); }

void Win32Restart::RestartSystem() {
  if (!EnablePrivilege(prompt_, SE_SHUTDOWN_NAME)) return;
  ExitWindowsEx(EWX_REBOOT, 0);
  DisablePrivilege(prompt_, SE_SHUTDOWN_NAME);
}

}  // namespace orvela
