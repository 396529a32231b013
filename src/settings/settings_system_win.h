// What the Windows-settings page starts outside itself: the ping window, the speed-test page
// and the restart. Each is a port, so tests record what would have been started instead.
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

#include "platform/prompt.h"
#include "settings/settings_backup.h"

namespace orvela {

class LaunchPort {
 public:
  virtual ~LaunchPort() = default;
  // ShellExecute "open" of a program with its parameters, shown normally; false when it
  // could not be started.
  virtual bool Run(std::string_view program, std::string_view parameters) = 0;
  // A web page: "IEXPLORE.EXE" with the address, or the system's browser when there is
  // none; false when neither could be started.
  virtual bool OpenWebPage(std::string_view address) = 0;
};

class Win32Launch : public LaunchPort {
 public:
  explicit Win32Launch(HWND owner) : owner_(owner) {}
  bool Run(std::string_view program, std::string_view parameters) override;
  bool OpenWebPage(std::string_view address) override;

 private:
  HWND owner_;
};

// The process token's privilege switched on or off; a failed step is shown by its name
// ("OpenProcessToken", "LookupPrivilegeValue", "AdjustTokenPrivileges").
bool EnablePrivilege(Prompt& prompt, const wchar_t* privilege);
bool DisablePrivilege(Prompt& prompt, const wchar_t* privilege);

// The real restart: SeShutdownPrivilege, then ExitWindowsEx(EWX_REBOOT).
class Win32Restart : public RestartPort {
 public:
  explicit Win32Restart(Prompt& prompt) : prompt_(prompt) {}
  void RestartSystem() override;

 private:
  Prompt& prompt_;
};

}  // namespace orvela
