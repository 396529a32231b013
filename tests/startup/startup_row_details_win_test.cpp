// A startup row's icon and version texts through the run's detail store, on real files,
// shortcuts and the shell of the test prefix, compared with what the shell and the file
// give directly.
#include <doctest.h>

#include <windows.h>
#include <shlobj.h>

#include <vector>

#include "components/shell_link_win.h"
#include "platform/shell_icon_win.h"
#include "platform/wide_win.h"
#include "startup/startup_row_details_win.h"
#include "system/program_lookup_win.h"
#include "test_files_win.h"

using namespace orvela;
using namespace orvela::testing;

namespace {

// The pixels of an icon drawn on white, for comparing pictures.
std::vector<uint32_t> Drawn(HICON icon) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = 32;
  info.bmiHeader.biHeight = -32;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  UniqueHbitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  UniqueHdc dc(CreateCompatibleDC(nullptr));
  const HGDIOBJ old = SelectObject(dc.get(), bitmap.get());
  std::fill(static_cast<uint32_t*>(bits), static_cast<uint32_t*>(bits) + 32 * 32, 0x00FFFFFFu);
  if (icon) DrawIconEx(dc.get(), 0, 0, icon, 32, 32, 0, nullptr, DI_NORMAL);
  GdiFlush();
  std::vector<uint32_t> pixels(static_cast<uint32_t*>(bits), static_cast<uint32_t*>(bits) + 32 * 32);
  SelectObject(dc.get(), old);
  return pixels;
}

std::vector<uint32_t> ShellPixels(const std::string& path) {
  UniqueHicon icon(ShellIconOf(path, false, false));
  REQUIRE(icon);
  return Drawn(icon.get());
}

std::vector<uint32_t> PicturePixels(RowDetailStore& store, PictureKey picture) {
  const int index = store.PictureIndex(picture);
  REQUIRE(index >= 0);
  UniqueHicon icon(ImageList_GetIcon(store.pictures(), index, ILD_NORMAL));
  return Drawn(icon.get());
}

// A program, shortcuts to it (one with an icon of its own) and a broken shortcut, in a
// folder of the prefix's temp folder.
struct Programs {
  TShellLink links;
  std::string folder, tool, link, own_icon_link, broken_link;
  Programs() {
    CoInitialize(nullptr);
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folder = Narrow(temp) + "orvela-row-details";
    CreateDirectoryW(Wide(folder).c_str(), nullptr);
    tool = folder + "\\tool.exe";
    REQUIRE(CopyFileW(Wide(FixturePath("sample-mailer.exe")).c_str(), Wide(tool).c_str(), FALSE));
    link = links.CreateLink2(tool, nullptr, folder, "ツール", true);
    REQUIRE_FALSE(link.empty());
    own_icon_link = folder + "\\own.lnk";
    SaveLink(own_icon_link, tool, ShellFolderPath(CSIDL_SYSTEM) + "\\shell32.dll");
    const std::string gone = folder + "\\gone.exe";
    REQUIRE(CopyFileW(Wide(tool).c_str(), Wide(gone).c_str(), FALSE));
    broken_link = links.CreateLink2(gone, nullptr, folder, "消えた", true);
    DeleteFileW(Wide(gone).c_str());
  }
  ~Programs() {
    for (const std::string& file : {tool, link, own_icon_link, broken_link}) DeleteFileW(Wide(file).c_str());
    RemoveDirectoryW(Wide(folder).c_str());
    CoUninitialize();
  }
  static void SaveLink(const std::string& path, const std::string& target, const std::string& icon_file) {
    ComPtr<IShellLinkW> shell_link;
    REQUIRE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                       shell_link.put_void())));
    shell_link->SetPath(Wide(target).c_str());
    shell_link->SetIconLocation(Wide(icon_file).c_str(), 3);
    ComPtr<IPersistFile> file = shell_link.query<IPersistFile>();
    REQUIRE((file && SUCCEEDED(file->Save(Wide(path).c_str(), TRUE))));
  }
};

EntryRecord RunRow(const std::string& command) {
  EntryRecord row;
  row.Key = kUserRunKey;
  row.Name = "ツール";
  row.Command = command;
  return row;
}

EntryRecord FolderRow(const std::string& path) {
  EntryRecord row;
  row.Name = "ツール";
  row.Command = path;
  return row;
}

}  // namespace

TEST_CASE("startup rows get the texts and icon the file and the shell give") {
  Programs programs;
  RowDetailStore store;
  TShellLink& links = programs.links;
  const Win32ProgramLookup system = LookupThroughLinks(links);
  PictureKey picture = 0;
  auto fill = [&](EntryRecord& row, bool fetch) {
    return FillStartupRowDetails(row, picture, true, fetch, store, system);
  };

  SUBCASE("a Run value: its program's; a second fill takes them from the store") {
    EntryRecord row = RunRow("\"" + programs.tool + "\" /min");
    CHECK_FALSE(fill(row, false));  // nothing known yet: the row waits, untouched
    CHECK(row.Company.empty());
    CHECK(picture == 0);
    REQUIRE(fill(row, true));
    CHECK(row.Product == "さくらメーラー");
    CHECK(row.Company == "さくら通信株式会社");
    CHECK(row.LegalNotice == "Copyright (C) 2024 さくら通信");
    CHECK(row.Description == "メール着信通知");
    CHECK_FALSE(row.Missing);
    CHECK(PicturePixels(store, picture) == ShellPixels(programs.tool));

    EntryRecord again = RunRow(row.Command);
    const PictureKey first_picture = picture;
    picture = 0;
    REQUIRE(fill(again, false));
    CHECK(again.Company == row.Company);
    CHECK(picture == first_picture);
  }
  SUBCASE("a shortcut without an icon of its own: its target's icon, so the shortcut is read once") {
    EntryRecord row = FolderRow(programs.link);
    REQUIRE(fill(row, true));
    CHECK_FALSE(row.Missing);
    CHECK(row.Description == "メール着信通知");
    // What the shell shows for the shortcut on Windows; Wine's answer lacks the program's picture.
    CHECK(PicturePixels(store, picture) == ShellPixels(programs.tool));
    CHECK(store.Picture(programs.tool, false).has_value());
    CHECK_FALSE(store.Picture(programs.link, false).has_value());
  }
  SUBCASE("a shortcut with an icon of its own shows that icon") {
    EntryRecord row = FolderRow(programs.own_icon_link);
    REQUIRE(fill(row, true));
    CHECK(row.Company == "さくら通信株式会社");
    CHECK(PicturePixels(store, picture) == ShellPixels(programs.own_icon_link));
    CHECK(PicturePixels(store, picture) != ShellPixels(programs.tool));
  }
  SUBCASE("a shortcut whose target is gone is missing and shows the shortcut's own icon") {
    EntryRecord row = FolderRow(programs.broken_link);
    REQUIRE(fill(row, true));
    CHECK(row.Missing);
    CHECK(row.Company.empty());
    CHECK(PicturePixels(store, picture) == ShellPixels(programs.broken_link));
  }
  SUBCASE("a program replaced since is read again; a deleted one leaves the row bare") {
    EntryRecord row = RunRow(programs.tool);
    REQUIRE(fill(row, true));
    REQUIRE(CopyFileW(Wide(FixturePath("sample-updater.exe")).c_str(), Wide(programs.tool).c_str(), FALSE));
    EntryRecord replaced = RunRow(programs.tool);
    CHECK_FALSE(fill(replaced, false));
    REQUIRE(fill(replaced, true));
    CHECK(replaced.Company == "星ソフトウェア");

    DeleteFileW(Wide(programs.tool).c_str());
    EntryRecord deleted = RunRow(programs.tool);
    REQUIRE(fill(deleted, false));  // nothing to fetch for a file that is not there
    CHECK(deleted.Company.empty());
    CHECK(picture == 0);
    CHECK(deleted.Missing);  // gone from a local fixed drive
  }
}
