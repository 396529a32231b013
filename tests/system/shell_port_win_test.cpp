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

TEST_CASE("a file another reader holds for a moment is removed or replaced once it lets go") {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::string folder = Narrow(temp) + "orvela-held";
  CreateDirectoryW(Wide(folder).c_str(), nullptr);
  const std::string path = folder + "\\held-item.lnk";
  WriteFile(path);
  // A reader that shares neither writing nor deletion, as the shell's icon and version reads do.
  HANDLE held = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  REQUIRE(held != INVALID_HANDLE_VALUE);
  UniqueHandle letting_go(CreateThread(
      nullptr, 0, [](void* file) -> DWORD { Sleep(200); return CloseHandle(file); }, held, 0, nullptr));
  TShellLink links;
  SUBCASE("removed") {
    Win32ShellPort shell(links);
    CHECK(shell.RemoveFile(path));
    CHECK_FALSE(FileExists(path));
  }
  SUBCASE("replaced by an added shortcut the user chose to write over it") {
    const std::string target = Narrow(temp) + "held-target.exe";
    WriteFile(target);
    CHECK(links.CreateLink2(target, nullptr, folder, "held-item", true) == path);
    std::string stored, arguments;
    CHECK(links.GetLinkFields(path, stored, arguments));
    CHECK(stored == target);
    DeleteFileW(Wide(target).c_str());
  }
  WaitForSingleObject(letting_go.get(), 5000);
  DeleteFileW(Wide(path).c_str());
  RemoveDirectoryW(Wide(folder).c_str());
}
