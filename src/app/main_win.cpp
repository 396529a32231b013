#include <windows.h>

#include "app/app_main_win.h"
#include "platform/registry_backend_win.h"
#include "platform/win32_prompt_win.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  orvela::Win32Prompt prompt;
  orvela::Win32Registry registry;
  return orvela::RunApplication(prompt, registry);
}
