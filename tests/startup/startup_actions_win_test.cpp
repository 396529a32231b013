#include <doctest.h>

#include "startup/run_key_locations.h"
#include "system/program_lookup_win.h"
#include "system/shell_folders_win.h"

#include <windows.h>
#include <shlobj.h>

#include "disabled_box/line_list_file.h"
#include "system/locations.h"
#include "components/item_id_list.h"
#include "platform/file_io.h"
#include "platform/folders_win.h"
#include "platform/registry_backend_win.h"
#include "platform/scripted_prompt.h"
#include "platform/wide_win.h"
#include "regfile/registry_accessor.h"
#include "disabled_box/disabled_box.h"
#include "startup/startup_actions.h"
#include "startup/startup_shell_win.h"
#include "test_files_win.h"

using namespace orvela;
using namespace orvela::testing;

namespace {

struct ComInit {
  ComInit() { CoInitialize(nullptr); }
  ~ComInit() { CoUninitialize(); }
};

// The prefix as the program sees it, with profiles taro and hanako made under the profiles
// root, a data folder, a program to point at, and the Run keys; all removed at the end.
struct WineFixture {
  ComInit com;
  Win32Registry registry;
  ScriptedPrompt prompt;
  ProfileLocations locations = ProfileLocations::FromShell(CurrentShellFolders());
  TShellLink link;
  Win32StartupShell shell{link};
  DisabledBoxStore box;
  std::string data_folder;
  std::string program;  // a real program with version information
  RunKeysBackup backup;
  StartupContext context{registry, prompt, locations, shell, box, backup};
  std::vector<std::string> made_files;

  WineFixture() {
    REQUIRE(!locations.root().empty());
    for (const char* name : {"taro", "hanako"})
      CreateDirectoryW(Wide(locations.root() + name).c_str(), nullptr);
    locations.SetProfiles(ListSubfolders(locations.root()));
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    data_folder = Narrow(temp) + "orvela-actions";
    RemoveTree(data_folder);
    REQUIRE(CreateFolderTree(data_folder + "\\programs"));
    program = data_folder + "\\programs\\メーラー.exe";
    REQUIRE(
        CopyFileW(Wide(FixturePath("sample-mailer.exe")).c_str(), Wide(program).c_str(), FALSE));
    box.path = data_folder + "\\startup.txt";
    box.state = DisabledBoxStore::State::kLoaded;
    backup.file_path = data_folder + "\\regdata.reg";
    for (const RunKeyLocation& where : kRunKeyLocations)
      registry.OpenKey(where.root, where.path, KeyAccess::kCreate);
  }
  ~WineFixture() {
    for (const RunKeyLocation& where : kRunKeyLocations) {
      const auto key = registry.OpenKey(where.root, where.path, KeyAccess::kWrite);
      for (const std::string& name : key ? key->ValueNames().value_or(std::vector<std::string>{})
                                         : std::vector<std::string>{})
        if (name.rfind("OrvelaTest", 0) == 0) key->DeleteValue(name);
    }
    for (const std::string& file : made_files) DeleteFileW(Wide(file).c_str());
    for (const char* name : {"taro", "hanako"}) RemoveTree(locations.root() + name);
    RemoveTree(data_folder);
  }

  int Profile(const char* name) { return *locations.ProfileIndexOf(name); }
  std::string StartupFolder(const char* name) {
    return locations.FolderOf(FolderKind::kStartup, Profile(name));
  }
  std::optional<RegistryValue> Run(int location, std::string_view name) {
    const auto key =
        registry.OpenKey(kRunKeyLocations[location].root, kRunKeyLocations[location].path, KeyAccess::kRead);
    return key ? key->ReadValue(name) : std::nullopt;
  }
  void SetRun(int location, std::string_view name, const RegistryValue& value) {
    REQUIRE(
        registry.OpenKey(kRunKeyLocations[location].root, kRunKeyLocations[location].path, KeyAccess::kCreate)
            ->WriteValue(name, value));
  }
  std::string MakeShortcut(const std::string& folder, const std::string& name,
                           const std::string& target) {
    REQUIRE(CreateFolderTree(folder));
    const std::string path = link.CreateLink2(target, nullptr, folder, name, true);
    REQUIRE(!path.empty());
    return path;
  }
};

EntryRecord Row(int32_t key, std::string kind, std::string name, std::string command) {
  EntryRecord row;
  row.Key = key;
  row.Kind = std::move(kind);
  row.Name = std::move(name);
  row.Command = std::move(command);
  return row;
}

}  // namespace

TEST_CASE("Run values on the real registry come back byte for byte") {
  WineFixture f;
  const std::string command = "\"" + f.program + "\" /check \"x y\"";
  const RegistryValue plain{kRegSz, StringToRegistryData(command)};
  const RegistryValue expandable{kRegExpandSz, StringToRegistryData("%SystemRoot%\\notepad.exe")};
  f.SetRun(0, "OrvelaTest Tool", plain);
  f.SetRun(2, "OrvelaTest Setup", expandable);

  REQUIRE(DisableStartupEntry(f.context, Row(kUserRunKey, "", "OrvelaTest Tool", command)).changed);
  REQUIRE(
      DisableStartupEntry(f.context, Row(kMachineKey, "RunOnce", "OrvelaTest Setup", "")).changed);
  CHECK_FALSE(f.Run(0, "OrvelaTest Tool"));
  CHECK_FALSE(f.Run(2, "OrvelaTest Setup"));
  CHECK(LoadLineList(f.box.path).lines ==
        std::vector<std::string>{"User@OrvelaTest Tool=" + command,
                                 "MachineOnce@OrvelaTest Setup=%SystemRoot%\\notepad.exe"});
  CHECK(f.backup.RunKeysSaved);

  // The view's row: version texts and icon of the program the command starts.
  EntryRecord row = DisabledBoxRecords(f.box.lines, f.locations)[0];
  Win32ProgramLookup system([&](const std::string& path) { return f.shell.ResolveLink(path); });
  const UniqueHicon icon = PrepareDisabledBoxRow(row, system);
  CHECK(row.Product == "さくらメーラー");
  CHECK(row.Description == "メール着信通知");

  REQUIRE(EnableStartupEntry(f.context, 1).changed);
  REQUIRE(EnableStartupEntry(f.context, 0).changed);
  CHECK(f.Run(0, "OrvelaTest Tool") == plain);
  CHECK(f.Run(2, "OrvelaTest Setup") == expandable);
  CHECK_FALSE(f.Run(1, "OrvelaTest Setup"));
  CHECK(LoadLineList(f.box.path).lines.empty());
  CHECK(f.prompt.shown().empty());
}

TEST_CASE("Shortcuts of profile folders: disable, enable, move") {
  WineFixture f;
  const int taro = f.Profile("taro");
  const std::string taro_folder = f.StartupFolder("taro");
  const std::string mail = f.MakeShortcut(taro_folder, "Mail", f.program);

  SUBCASE("taro=Mail#$#<program>, made again in taro's folder") {
    REQUIRE(DisableStartupEntry(f.context, Row(taro, "", "Mail", mail)).changed);
    CHECK_FALSE(FileExists(mail));
    CHECK(f.box.lines == std::vector<std::string>{"taro=Mail#$#" + f.program});
    CHECK_FALSE(f.backup.RunKeysSaved);

    f.box.lines[0] = "TARO=Mail#$#" + f.program;  // the profile in another case
    REQUIRE(EnableStartupEntry(f.context, 0).changed);
    REQUIRE(FileExists(mail));
    CHECK(f.shell.ResolveLink(mail) == f.program);
    CHECK(f.box.lines.empty());
  }

  SUBCASE("a shortcut whose target is gone keeps its item id list") {
    const std::string lost = f.data_folder + "\\programs\\lost.exe";
    REQUIRE(CopyFileW(Wide(f.program).c_str(), Wide(lost).c_str(), FALSE));
    const std::string lost_link = f.MakeShortcut(taro_folder, "Lost", lost);
    const auto item = f.shell.LinkTargetItemIdList(lost_link);
    REQUIRE(item);
    DeleteFileW(Wide(lost).c_str());

    REQUIRE(DisableStartupEntry(f.context, Row(taro, "", "Lost", lost_link)).changed);
    REQUIRE(f.box.lines.size() == 1);
    CHECK(f.box.lines[0] == "taro=Lost@@@" + *ItemIdListToHex(item->data(), item->size()));
    REQUIRE(EnableStartupEntry(f.context, 0).changed);
    REQUIRE(FileExists(lost_link));
    CHECK(f.shell.LinkTargetItemIdList(lost_link) == item);
    CHECK(f.prompt.shown().empty());  // its kept bytes lead to the line's item: used as they are
  }

  SUBCASE("moved from taro to hanako, the file as it was") {
    const int hanako = f.Profile("hanako");
    REQUIRE(ChangeLocation(f.context, Row(taro, "", "Mail", mail), hanako).changed);
    const std::string moved = f.StartupFolder("hanako") + "\\Mail.lnk";
    CHECK_FALSE(FileExists(mail));
    REQUIRE(FileExists(moved));
    CHECK(f.shell.ResolveLink(moved) == f.program);
  }

  SUBCASE("a folder in item-id form: the view takes its icon from the shell item") {
    const UniqueItemIdList list = PathToItemIdList(f.data_folder);
    REQUIRE(list);
    const auto bytes = ItemIdListBytes(list.get());
    REQUIRE(bytes);
    CHECK(ItemIdListBytes(ItemIdListFromBytes(*bytes).get()) == bytes);
    CHECK_FALSE(PathToItemIdList(""));

    f.box.lines = {"taro=Data@@@" + *ItemIdListToHex(bytes->data(), bytes->size())};
    EntryRecord row = DisabledBoxRecords(f.box.lines, f.locations)[0];
    Win32ProgramLookup system([&](const std::string& path) { return f.shell.ResolveLink(path); });
    CHECK(PrepareDisabledBoxRow(row, system));
  }
}

TEST_CASE("Kind changes between the all-users folder and the machine keys") {
  WineFixture f;
  const std::string common = ShellFolderPath(CSIDL_COMMON_STARTUP);
  REQUIRE(!common.empty());

  SUBCASE("an All Users shortcut becomes a machine Run value") {
    const std::string lnk = f.MakeShortcut(common, "OrvelaTest Mail", f.program);
    f.made_files.push_back(lnk);
    REQUIRE(ChangeKind(f.context, Row(f.locations.all_users_index(), "", "OrvelaTest Mail", lnk), 1)
                .changed);
    CHECK(f.Run(1, "OrvelaTest Mail") == RegistryValue{kRegSz, StringToRegistryData(f.program)});
    CHECK_FALSE(FileExists(lnk));
  }

  SUBCASE("a RunOnce value becomes an All Users shortcut") {
    f.SetRun(2, "OrvelaTest Once",
             RegistryValue{kRegSz, StringToRegistryData("\"" + f.program + "\"")});
    const std::string lnk = common + "\\OrvelaTest Once.lnk";
    f.made_files.push_back(lnk);
    REQUIRE(ChangeKind(f.context,
                       Row(kMachineKey, "RunOnce", "OrvelaTest Once", "\"" + f.program + "\""), 0)
                .changed);
    REQUIRE(FileExists(lnk));
    CHECK(f.shell.ResolveLink(lnk) == f.program);
    CHECK_FALSE(f.Run(2, "OrvelaTest Once"));
  }

  SUBCASE("a command with arguments stays a value") {
    const std::string command = "\"" + f.program + "\" -x";
    f.SetRun(0, "OrvelaTest Args", RegistryValue{kRegSz, StringToRegistryData(command)});
    const ActionResult result =
        ChangeKind(f.context, Row(kUserRunKey, "", "OrvelaTest Args", command), 0);
    CHECK_FALSE(result.changed);
    CHECK(f.Run(0, "OrvelaTest Args"));
    CHECK_FALSE(FileExists(ShellFolderPath(CSIDL_STARTUP) + "\\OrvelaTest Args.lnk"));
  }
}

namespace {

struct LinkFieldsRead {
  std::wstring path, arguments, folder, icon;
  int icon_index = 0;
  WORD hotkey = 0;
  bool operator==(const LinkFieldsRead&) const = default;
};

// A shortcut with every field the line cannot carry, written through the shell itself.
void WriteFullShortcut(const std::string& path, const std::wstring& target, WORD hotkey) {
  ComPtr<IShellLinkW> link;
  REQUIRE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IShellLinkW, link.put_void())));
  link->SetPath(target.c_str());
  link->SetArguments(L"-check \"受信箱 1\"");
  link->SetWorkingDirectory(L"C:\\windows");
  link->SetIconLocation(L"C:\\windows\\system32\\shell32.dll", 12);
  link->SetHotkey(hotkey);
  ComPtr<IPersistFile> file = link.query<IPersistFile>();
  REQUIRE(file);
  REQUIRE(SUCCEEDED(file->Save(Wide(path).c_str(), TRUE)));
}

LinkFieldsRead ReadFullShortcut(const std::string& path) {
  LinkFieldsRead read;
  ComPtr<IShellLinkW> link;
  REQUIRE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IShellLinkW, link.put_void())));
  ComPtr<IPersistFile> file = link.query<IPersistFile>();
  REQUIRE(SUCCEEDED(file->Load(Wide(path).c_str(), STGM_READ)));
  wchar_t text[MAX_PATH] = {};
  link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
  read.path = text;
  link->GetArguments(text, MAX_PATH);
  read.arguments = text;
  link->GetWorkingDirectory(text, MAX_PATH);
  read.folder = text;
  link->GetIconLocation(text, MAX_PATH, &read.icon_index);
  read.icon = text;
  link->GetHotkey(&read.hotkey);
  return read;
}

}  // namespace

TEST_CASE("a real shortcut comes back whole from the Disabled Box") {
  WineFixture f;
  const int taro = f.Profile("taro");
  const std::string folder = f.StartupFolder("taro");
  REQUIRE(CreateFolderTree(folder));

  SUBCASE("arguments, working folder, icon and hot key") {
    const std::string lnk = folder + "\\Mail.lnk";
    WriteFullShortcut(lnk, Wide(f.program), MAKEWORD('M', HOTKEYF_CONTROL | HOTKEYF_ALT));
    const LinkFieldsRead before = ReadFullShortcut(lnk);
    const auto bytes = ReadWholeFile(lnk);
    REQUIRE(DisableStartupEntry(f.context, Row(taro, "", "Mail", lnk)).changed);
    CHECK(f.box.lines == std::vector<std::string>{"taro=Mail#$#" + f.program});
    CHECK_FALSE(FileExists(lnk));
    REQUIRE(EnableStartupEntry(f.context, 0).changed);
    CHECK(ReadFullShortcut(lnk) == before);
    CHECK(ReadWholeFile(lnk) == bytes);

    // As a Run value it keeps its arguments, the target quoted when it holds a blank.
    REQUIRE(ChangeKind(f.context, Row(taro, "", "OrvelaTest Mail", lnk), 1).changed);
    CHECK(f.Run(0, "OrvelaTest Mail") ==
          RegistryValue{kRegSz, StringToRegistryData(f.program + " -check \"受信箱 1\"")});
  }
  SUBCASE("a target on a network path that does not answer") {
    const std::string lnk = folder + "\\Share.lnk";
    WriteFullShortcut(lnk, L"\\\\orvela-nowhere\\share\\tool.exe", 0);
    const auto bytes = ReadWholeFile(lnk);
    REQUIRE(bytes);
    const ActionResult disabled = DisableStartupEntry(f.context, Row(taro, "", "Share", lnk));
    REQUIRE_MESSAGE(disabled.changed, disabled.message);
    CHECK_FALSE(FileExists(lnk));
    REQUIRE(EnableStartupEntry(f.context, 0).changed);
    CHECK(ReadWholeFile(lnk) == bytes);
    CHECK(f.box.lines.empty());
  }
}
