#include "app/app_main_win.h"

#include <windows.h>
#include <commctrl.h>

#include <exception>
#include <memory>
#include <string>

#include "app/form1_win.h"
#include "app/page_frame.h"
#include "system/settings.h"
#include "platform/app_title.h"
#include "platform/handles_win.h"
#include "platform/prompt.h"
#include "platform/wide_win.h"
#include "regfile/registry_accessor.h"

namespace orvela {
namespace {

int RunMainWindow(Prompt& prompt, RegistryBackend& registry) {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES;
  InitCommonControlsEx(&controls);
  TForm1 form(RealFormServices(prompt, registry));
  form.Show(SW_SHOWNORMAL);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (form.hwnd() && form.PreTranslateMessage(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}

}  // namespace

int RunApplication(Prompt& prompt, RegistryBackend& registry) {
  const std::wstring title = Wide(kAppTitle);
  if (UniqueHandle running(OpenMutexW(SYNCHRONIZE, FALSE, title.c_str())); running) {
    prompt.ShowMessage(std::string(kAppTitle) + kAlreadyRunningSuffix, kAppTitle, PromptIcon::kInformation);
    return 0;
  }
  UniqueHandle mutex(CreateMutexW(nullptr, TRUE, title.c_str()));
  if (mutex && GetLastError() == ERROR_ALREADY_EXISTS) {
    // Two copies started at the same moment: the other one was first.
    prompt.ShowMessage(std::string(kAppTitle) + kAlreadyRunningSuffix, kAppTitle, PromptIcon::kInformation);
    return 0;
  }
  try {
    TRegistry settings_key(registry);
    switch (EnsureSettingsKey(settings_key)) {
      case SettingsKeyState::kNotInstalled:
        prompt.ShowMessage(kNotInstalledMessage, kAppTitle, PromptIcon::kWarning);
        break;
      case SettingsKeyState::kCannotMake:
        prompt.ShowMessage(kSettingsKeyNotMadeMessage, kAppTitle, PromptIcon::kError);
        break;
      case SettingsKeyState::kPresent:
      case SettingsKeyState::kMade:
        RunMainWindow(prompt, registry);
        break;
    }
  } catch (const std::exception& e) {
    prompt.ShowMessage(e.what(), kAppTitle, PromptIcon::kError);
  }
  if (mutex) ReleaseMutex(mutex.get());
  return 0;
}

}  // namespace orvela
