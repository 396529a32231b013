#include <doctest.h>

#include <filesystem>
#include <fstream>

#include "components/shell_link_win.h"
#include "platform/wide_win.h"
#include "test_files_win.h"

using namespace orvela;
using namespace orvela::testing;
namespace fs = std::filesystem;

namespace {

struct ComInit {
  ComInit() { CoInitialize(nullptr); }
  ~ComInit() { CoUninitialize(); }
};

// In the \\?\ form, so that folders deeper than MAX_PATH can be made and removed.
fs::path FsPath(const std::string& utf8) { return fs::path(L"\\\\?\\" + Wide(utf8)); }
bool Exists(const std::string& utf8) { return fs::exists(FsPath(utf8)); }

std::string Resolve(TShellLink& link, const std::string& file) {
  std::string target;
  CHECK(link.GetLinkToPath(file, target, nullptr) == 0);
  return target;
}

// A fresh folder under the prefix's temp folder, removed with everything in it.
struct TempFolder {
  std::string path;
  explicit TempFolder(const std::string& name) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    path = JoinFolder(Narrow(temp), name);
    std::error_code ignored;
    fs::remove_all(FsPath(path), ignored);
    fs::create_directories(FsPath(path), ignored);
  }
  ~TempFolder() {
    std::error_code ignored;
    fs::remove_all(FsPath(path), ignored);
  }
  std::string operator/(const std::string& name) const { return JoinFolder(path, name); }
  static std::string JoinFolder(std::string folder, const std::string& name) {
    if (folder.back() != '\\') folder += '\\';
    return folder + name;
  }
  size_t Count() const {
    return static_cast<size_t>(std::distance(fs::directory_iterator(FsPath(path)), fs::directory_iterator()));
  }
};

UniqueItemIdList ParseDisplayName(const std::string& path) {
  UniqueItemIdList list;
  SHParseDisplayName(Wide(path).c_str(), nullptr, list.put(), 0, nullptr);
  return list;
}

std::string SystemAnswer(UINT (*query)(LPWSTR, UINT)) {
  wchar_t buffer[MAX_PATH];
  query(buffer, MAX_PATH);
  return Narrow(buffer);
}

}  // namespace

TEST_CASE("special folders") {
  ComInit com;
  TShellLink link;
  for (int csidl : {CSIDL_STARTUP, CSIDL_COMMON_STARTUP, CSIDL_PROFILE, CSIDL_SENDTO}) {
    CAPTURE(csidl);
    const std::string path = link.GetPath(csidl);
    CHECK(path.size() > 3);
    CHECK(fs::is_directory(FsPath(path)));
  }
  CHECK(link.GetPath(CSIDL_SYSTEM) == SystemAnswer(GetSystemDirectoryW));
  CHECK(link.GetPath(CSIDL_WINDOWS) == SystemAnswer(GetWindowsDirectoryW));
  CHECK(link.GetPath(CSIDL_DRIVES) == "");  // a virtual folder has no path

  UniqueItemIdList drives = link.GetCodeToItemIdList(CSIDL_DRIVES);
  REQUIRE(drives);
  CHECK(link.ItemIdListFree(drives.release()));
  CHECK_FALSE(link.GetCodeToItemIdList(0x7FFF));

  UniqueHicon icon;
  const std::string name = link.GetNameOrHandIcon(CSIDL_DRIVES, icon, true);
  CHECK_FALSE(name.empty());
  CHECK(icon);
  CHECK(link.GetNameOrHandIcon(0x7FFF, icon, false) == "");
  CHECK_FALSE(icon);
}

TEST_CASE("creating and resolving shortcuts") {
  ComInit com;
  TShellLink link;
  TempFolder folder("orvela-links");
  const std::string tool = folder / "report.final.exe";
  const std::string data = folder / "Data.old";
  WriteFile(tool);
  fs::create_directory(FsPath(data));
  const std::string out = folder / "表";  // its code-page form ends in byte 0x5C
  fs::create_directory(FsPath(out));

  SUBCASE("names") {
    CHECK(link.CreateLink2(tool, nullptr, out, "", true) == out + "\\report.lnk");
    CHECK(link.CreateLink2(data, nullptr, out, "", true) == out + "\\Data.lnk");
    CHECK(link.CreateLink2(tool, nullptr, out, "A/B:C", true) == out + "\\A／B：C.lnk");
    CHECK(link.CreateLink2(tool, nullptr, out + "\\", "Tool 1.2", true) == out + "\\Tool 1．2.lnk");
    CHECK(Exists(out + "\\report.lnk"));
    CHECK(Exists(out + "\\A／B：C.lnk"));
    CHECK(Resolve(link, out + "\\Tool 1．2.lnk") == tool);
    CHECK(Resolve(link, out + "\\Data.lnk") == data);

    // Nothing is written for a missing target or an unknown folder.
    CHECK(link.CreateLink2(folder / "gone.exe", nullptr, out, "Gone", true) == "");
    CHECK(link.CreateLink2(tool, nullptr, "", "Nowhere", true) == "");
    CHECK_FALSE(Exists(out + "\\Gone.lnk"));
  }

  SUBCASE("a shortcut whose target was deleted resolves to itself") {
    const std::string made = link.CreateLink2(tool, nullptr, out, "", true);
    REQUIRE(Exists(made));
    CHECK(Resolve(link, made) == tool);
    fs::remove(FsPath(tool));
    CHECK(Resolve(link, made) == made);
    std::string stored;
    bool own_icon = true;
    CHECK(link.ReadLinkTarget(made, stored, own_icon, nullptr) == 0);
    CHECK(stored == tool);  // as stored, gone or not
    CHECK_FALSE(own_icon);

    std::string target;
    const std::string not_a_link = folder / "notes.txt";
    WriteFile(not_a_link, "plain text");
    CHECK(link.GetLinkToPath(not_a_link, target, nullptr) != 0);
    CHECK(target == not_a_link);
    CHECK(link.ReadLinkTarget(not_a_link, stored, own_icon, nullptr) != 0);
    CHECK(stored.empty());
  }

  SUBCASE("paths longer than MAX_PATH") {
    std::string deep = folder.path;
    while (deep.size() < 300) deep += "\\" + std::string(40, 'd');
    fs::create_directories(FsPath(deep));
    // The shortcut file may lie deep; its stored target is held to MAX_PATH by the shell.
    const std::string made = link.CreateLink2(tool, nullptr, deep, "deep", true);
    CHECK(made == deep + "\\deep.lnk");
    CHECK(Exists(made));
    CHECK(Resolve(link, made) == tool);
    CHECK(link.ChkLinkFileOrDel(deep, "deep.l", "", true));
    CHECK_FALSE(Exists(made));
  }

  SUBCASE("numbering on disk, overwrite, probe") {
    CHECK(link.CreateLink2(tool, nullptr, out, "X", false) == out + "\\X.lnk");
    CHECK(link.CreateLink2(tool, nullptr, out, "X", false) == out + "\\X(1).lnk");
    CHECK(link.CreateLink2(tool, nullptr, out, "X", false) == out + "\\X(2).lnk");
    CHECK(link.CreateLink2(data, nullptr, out, "X", true) == out + "\\X.lnk");
    CHECK(Resolve(link, out + "\\X.lnk") == data);
    CHECK(Resolve(link, out + "\\X(1).lnk") == tool);
  }

  SUBCASE("an item id list as the target") {
    UniqueItemIdList item = ParseDisplayName(data);
    REQUIRE(item);
    const std::string made = link.CreateLink2("", item.get(), out, "", true);
    CHECK(made == out + "\\Data.old.lnk");  // a folder item keeps its whole display name
    UniqueItemIdList back = link.GetLinkToItemId(made, nullptr);
    REQUIRE(back);
    CHECK(ILIsEqual(item.get(), back.get()));

    UniqueItemIdList drives = link.GetCodeToItemIdList(CSIDL_DRIVES);
    REQUIRE(drives);
    const std::string computer = link.CreateLink2("", drives.get(), out, "", true);
    REQUIRE_FALSE(computer.empty());
    CHECK(Exists(computer));
    back = link.GetLinkToItemId(computer, nullptr);
    REQUIRE(back);
    CHECK(ILIsEqual(drives.get(), back.get()));
    std::string target;
    link.GetLinkToPath(computer, target, nullptr);
    CHECK(target == computer);

    CHECK(link.CreateLink2("", nullptr, out, "Nothing", true) == "");
    CHECK_FALSE(link.GetLinkToItemId(folder / "gone.lnk", nullptr));
  }
}

TEST_CASE("probing, finding and deleting in shell folders") {
  ComInit com;
  TShellLink link;
  TempFolder folder("orvela-find");
  const std::string tool = folder / "orvela-probe.exe";
  const std::string other = folder / "orvela-other.exe";
  WriteFile(tool);
  WriteFile(other);
  const std::string startup = link.GetPath(CSIDL_STARTUP);
  REQUIRE_FALSE(startup.empty());
  auto startup_count = [&] {
    return std::distance(fs::directory_iterator(FsPath(startup)), fs::directory_iterator());
  };

  SUBCASE("probe writes nothing") {
    const auto before = startup_count();
    CHECK_FALSE(link.ChkLink(tool, nullptr, "", CSIDL_STARTUP));
    CHECK_FALSE(link.ChkLink(folder / "gone.exe", nullptr, "orvela-probe", CSIDL_STARTUP));
    CHECK(startup_count() == before);

    const std::string made = link.CreateLink(tool, nullptr, CSIDL_STARTUP, "", false);
    REQUIRE(made == startup + "\\orvela-probe.lnk");
    CHECK(link.ChkLink(tool, nullptr, "", CSIDL_STARTUP));
    CHECK(link.ChkLink(other, nullptr, "orvela-probe", CSIDL_STARTUP));  // by the given name
    CHECK_FALSE(link.ChkLink(other, nullptr, "orvela-nothing", CSIDL_STARTUP));
    CHECK(startup_count() == before + 1);
    link.DeleteLink(CSIDL_STARTUP, "orvela-probe", "");
    CHECK_FALSE(Exists(made));
  }

  SUBCASE("delete by name tries its names in order") {
    for (const char* name : {"orvela-del.lnk", "orvela-del.exe.lnk", "orvela-alt.lnk"}) {
      WriteFile(startup + "\\" + name);
    }
    auto present = [&] {
      std::string state;
      for (const char* name : {"orvela-del.lnk", "orvela-del.exe.lnk", "orvela-alt.lnk"}) {
        state += Exists(startup + "\\" + name) ? '1' : '0';
      }
      return state;
    };
    link.DeleteLink(CSIDL_STARTUP, "orvela-del.exe", "orvela-alt");
    CHECK(present() == "011");
    link.DeleteLink(CSIDL_STARTUP, "orvela-del.exe", "orvela-alt");
    CHECK(present() == "001");
    link.DeleteLink(CSIDL_STARTUP, "orvela-del.exe", "orvela-alt");
    CHECK(present() == "000");
    link.DeleteLink(CSIDL_STARTUP, "orvela-del.exe", "orvela-alt");  // nothing left: no harm
    link.DeleteLink(CSIDL_DRIVES, "orvela-del.exe", "orvela-alt");   // no folder: nothing
  }

  SUBCASE("finding shortcuts by name and by target") {
    TempFolder links("orvela-find-links");
    REQUIRE(link.CreateLink2(tool, nullptr, links.path, "Editor", true) == links / "Editor.lnk");
    REQUIRE(link.CreateLink2(other, nullptr, links.path, "Other", true) == links / "Other.lnk");
    const std::string target_copy = links / "orvela-probe.exe";  // resolves only to itself
    WriteFile(target_copy);

    // No folder for the id: false.
    CHECK_FALSE(link.ChkLinkOrDel(target_copy, "", CSIDL_DRIVES, true));
    CHECK_FALSE(link.ChkLinkFileOrDel(links.path, "", target_copy, true));
    CHECK(links.Count() == 3);

    CHECK_FALSE(link.ChkLinkOrDel(tool, "", CSIDL_DRIVES, false));
    PostThreadMessageW(GetCurrentThreadId(), WM_APP, 0, 0);
    CHECK(link.ChkLinkFileOrDel(links.path, "", tool, false));
    MSG msg;
    CHECK_FALSE(PeekMessageW(&msg, nullptr, WM_APP, WM_APP, PM_NOREMOVE));  // pumped meanwhile
    CHECK(links.Count() == 3);
    CHECK(link.ChkLinkFileOrDel(links.path + "\\", "", tool, true));
    CHECK_FALSE(Exists(links / "Editor.lnk"));
    CHECK(Exists(links / "Other.lnk"));

    CHECK_FALSE(link.ChkLinkFileOrDel(links.path, "Nothing", tool, true));
    CHECK(link.ChkLinkFileOrDel(links.path, "Oth", tool, true));
    CHECK_FALSE(Exists(links / "Other.lnk"));
    CHECK(Exists(target_copy));
    CHECK_FALSE(link.ChkLinkFileOrDel(folder / "missing", "x", tool, true));

    // Through a shell folder: a shortcut in Startup found by its target and removed.
    REQUIRE_FALSE(link.CreateLink(other, nullptr, CSIDL_STARTUP, "orvela-find", true).empty());
    CHECK(link.ChkLinkOrDel(other, "", CSIDL_STARTUP, true));
    CHECK_FALSE(Exists(startup + "\\orvela-find.lnk"));
  }
}
