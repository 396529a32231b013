#include <doctest.h>

#include <windows.h>

#include <algorithm>

#include "components/shell_link_win.h"
#include "platform/shell_icon_win.h"
#include "platform/wide_win.h"
#include "system/command_line.h"
#include "startup/startup_entries.h"
#include "startup/folder_files_win.h"
#include "system/program_lookup_win.h"

using namespace orvela;

namespace {

std::string TempFolder(const char* name) {
  wchar_t buffer[MAX_PATH];
  GetTempPathW(MAX_PATH, buffer);
  std::string folder = Narrow(buffer) + name;
  CreateDirectoryW(Wide(folder).c_str(), nullptr);
  return folder;
}

void MakeFile(const std::string& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
  HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            attributes, nullptr);
  REQUIRE(file != INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, "x", 1, &written, nullptr);
  CloseHandle(file);
}

void RemoveFile(const std::string& path) {
  SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(Wide(path).c_str());
}

std::vector<std::string> PathsOf(const std::vector<orvela::FolderItem>& items) {
  std::vector<std::string> paths;
  for (const auto& item : items) paths.push_back(item.path);
  std::sort(paths.begin(), paths.end());
  return paths;
}

}  // namespace

TEST_CASE("Startup folder files: hidden and system files too, folders not") {
  const std::string folder = TempFolder("orvela-startup-list");
  MakeFile(folder + "\\desktop.ini", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  MakeFile(folder + "\\メール.lnk");
  CreateDirectoryW(Wide(folder + "\\sub.lnk").c_str(), nullptr);

  std::vector<orvela::FolderItem> items = {{"C:\\earlier.lnk", 0}};
  ListFolderFiles(folder, 3, "", items);
  REQUIRE(items.size() == 3);
  CHECK(items[0].path == "C:\\earlier.lnk");  // appended, not replaced
  CHECK(items[1].profile_index == 3);
  CHECK(PathsOf({items[1], items[2]}) ==
        std::vector<std::string>{folder + "\\desktop.ini", folder + "\\メール.lnk"});

  std::vector<orvela::FolderItem> shortcuts;
  ListFolderFiles(folder + "\\", 1, "lnk", shortcuts);  // a trailing backslash is not doubled
  REQUIRE(shortcuts.size() == 1);
  CHECK(shortcuts[0].path == folder + "\\メール.lnk");

  const auto rows = CollectStartupEntries(items, {});
  CHECK(std::count_if(rows.begin(), rows.end(), [](const EntryRecord& r) {
          return r.Name == "desktop" && r.Key == 3;
        }) == 1);

  std::vector<orvela::FolderItem> none;
  ListFolderFiles(folder + "\\no such folder", 0, "", none);
  ListFolderFiles("", 0, "", none);
  CHECK(none.empty());

  RemoveFile(folder + "\\desktop.ini");
  RemoveFile(folder + "\\メール.lnk");
  RemoveDirectoryW(Wide(folder + "\\sub.lnk").c_str());
  RemoveDirectoryW(Wide(folder).c_str());
}

TEST_CASE("programs are found on the real system") {
  Win32ProgramLookup system([](const std::string& link) { return link; });
  const std::string system_folder = system.SystemFolder();
  REQUIRE(system_folder.find(":\\") == 1);
  CHECK(system.KindOf(system_folder) == PathKind::kFolder);
  CHECK(system.DriveKindOf("C:\\") == DriveKind::kOther);

  auto rundll = ResolveTarget(ProgramPathOf("rundll32.exe shell32.dll,Control_RunDLL"), system);
  CHECK(rundll.target == system_folder + "\\rundll32.exe");
  CHECK_FALSE(rundll.missing);
  CHECK(system.KindOf(rundll.target) == PathKind::kFile);

  CHECK_FALSE(ResolveTarget("%SystemRoot%\\system32\\rundll32.exe", system).missing);

  CHECK(ResolveTarget("orvela-no-such-program.exe", system).missing);
  CHECK(ResolveTarget("C:\\orvela-no-such\\program.exe", system).missing);
  // Neither a network path nor a letter of no drive is looked at.
  CHECK_FALSE(ResolveTarget("\\\\orvela-no-server\\share\\program.exe", system).missing);
  CHECK_FALSE(system.AbsentFromFixedDrive("Q:\\orvela\\program.exe"));
}

TEST_CASE("shell icons: none for a missing file, even right after one was found") {
  Win32ProgramLookup system(nullptr);
  const std::string notepad = system.SystemFolder() + "\\notepad.exe";
  HICON found = ShellIconOf(notepad, false, false);
  CHECK(found != nullptr);
  HICON missing = ShellIconOf("C:\\orvela-no-such\\gone.exe", false, false);
  CHECK(missing == nullptr);
  HICON by_type = ShellIconOf("C:\\orvela-no-such\\gone.txt", true, true);
  CHECK(by_type != nullptr);
  for (HICON icon : {found, missing, by_type})
    if (icon) DestroyIcon(icon);
}

TEST_CASE("a Startup folder shortcut whose program was deleted is missing") {
  CoInitialize(nullptr);
  const std::string folder = TempFolder("orvela-startup-links");
  const std::string program = folder + "\\メーラー.exe";
  MakeFile(program);
  TShellLink shell;
  const std::string link = shell.CreateLink2(program, nullptr, folder, "メーラー", true);
  REQUIRE_FALSE(link.empty());

  Win32ProgramLookup system([&shell](const std::string& path) {
    std::string target;
    shell.GetLinkToPath(path, target, nullptr);
    return target;
  });
  std::vector<orvela::FolderItem> items;
  ListFolderFiles(folder, 0, "lnk", items);
  auto rows = CollectStartupEntries(items, {});
  REQUIRE(rows.size() == 1);
  CHECK(rows[0].Name == "メーラー");

  auto live = ResolveTarget(ProgramPathOf(rows[0].Command), system);
  CHECK(live.target == program);
  CHECK_FALSE(live.missing);

  RemoveFile(program);
  auto dead = ResolveTarget(ProgramPathOf(rows[0].Command), system);
  CHECK(dead.target == link);
  CHECK(dead.missing);
  HICON icon = ShellIconOf(link, false, false);  // the shortcut's own icon still shows
  CHECK(icon != nullptr);
  if (icon) DestroyIcon(icon);

  RemoveFile(link);
  RemoveDirectoryW(Wide(folder).c_str());
  CoUninitialize();
}
