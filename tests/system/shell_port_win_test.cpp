#include <doctest.h>

#include <windows.h>

#include "components/shell_link_win.h"
#include "platform/folders_win.h"
#include "platform/handles_win.h"
#include "platform/wide_win.h"
#include "system/shell_port_win.h"
#include "test_files_win.h"

using namespace orvela;
using namespace orvela::testing;

TEST_CASE("a file another reader holds for a moment is removed once it lets go") {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::string path = Narrow(temp) + "orvela-held-item.lnk";
  WriteFile(path);
  // A reader that does not share deletion, as the shell's icon and version reads do.
  HANDLE held = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  REQUIRE(held != INVALID_HANDLE_VALUE);
  UniqueHandle letting_go(CreateThread(
      nullptr, 0, [](void* file) -> DWORD { Sleep(200); return CloseHandle(file); }, held, 0, nullptr));
  TShellLink links;
  Win32ShellPort shell(links);
  CHECK(shell.RemoveFile(path));
  WaitForSingleObject(letting_go.get(), 5000);
  CHECK_FALSE(FileExists(path));
}
