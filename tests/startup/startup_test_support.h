// Shared by the portable startup tests: profiles taro and hanako, an in-memory registry
// with the three Run keys, a shell that keeps shortcuts in a map, and a Disabled Box file
// in a throw-away folder.
#pragma once
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "disabled_box/disabled_box_store.h"
#include "disabled_box/line_list_file.h"
#include "startup/run_key_locations.h"
#include "system/locations.h"
#include "platform/file_io.h"
#include "components/link_naming.h"
#include "platform/memory_registry.h"
#include "platform/scripted_prompt.h"
#include "regfile/registry_accessor.h"
#include "regfile/regfile_test_support.h"
#include "startup/run_keys_backup.h"
#include "startup/startup_actions.h"

namespace orvela::testing {

inline constexpr const char* kStartupSub =
    "\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup";
inline constexpr const char* kCommonStartup =
    "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Startup";

inline ProfileLocations TestLocations() {
  ShellFolderPaths shell;
  shell.user_name = "taro";
  shell.profile = "C:\\Users\\taro";
  shell.startup = std::string("C:\\Users\\taro") + kStartupSub;
  shell.sendto = "C:\\Users\\taro\\AppData\\Roaming\\Microsoft\\Windows\\SendTo";
  shell.common_startup = kCommonStartup;
  ProfileLocations locations = ProfileLocations::FromShell(shell);
  locations.SetProfiles(
      {"taro", "hanako", "Public"});  // + "All Users": All Users, hanako, Public, taro
  return locations;
}

inline std::string StartupOf(const char* profile) {
  return std::string("C:\\Users\\") + profile + kStartupSub;
}

// Files are a map from path to what they hold: a shortcut (to a path or a shell item) or
// a plain file. Programs are files too. A shortcut's arguments and `extra` (its icon, hot
// key, working folder...) live only in its bytes: made again from a line, they are gone.
class FakeShell : public StartupShell {
 public:
  struct File {
    bool shortcut = false;
    std::string target_path;
    std::vector<std::uint8_t> item;  // with terminator
    std::string arguments;
    std::string extra;
    bool operator==(const File&) const = default;
  };
  std::map<std::string, File> files;
  std::set<std::string> undeletable;
  std::set<std::string> unreadable;
  std::map<std::string, FileMetadata> metadata;
  bool fail_writes = false;

  static std::string BytesOf(const File& file) {
    std::string item(file.item.begin(), file.item.end());
    return (file.shortcut ? "lnk\n" : "file\n") + file.target_path + "\n" + item + "\n" +
           file.arguments + "\n" + file.extra;
  }
  static File FileOf(std::string_view bytes) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (int i = 0; i < 4; ++i) {
      const size_t end = bytes.find('\n', start);
      parts.emplace_back(bytes.substr(start, end - start));
      start = end + 1;
    }
    File file{parts[0] == "lnk", parts[1], {parts[2].begin(), parts[2].end()}, parts[3],
              std::string(bytes.substr(start))};
    return file;
  }

  void AddProgram(const std::string& path) { files[path] = File{}; }
  void AddShortcut(const std::string& path, const std::string& target) {
    files[path] = File{true, target, {}, {}, {}};
  }
  void AddItemShortcut(const std::string& path, std::vector<std::uint8_t> item) {
    files[path] = File{true, "", std::move(item), {}, {}};
  }

  std::string ResolveLink(const std::string& link) override {
    const auto it = files.find(link);
    if (it == files.end() || !it->second.shortcut || !files.count(it->second.target_path))
      return link;
    return it->second.target_path;
  }
  std::optional<std::vector<std::uint8_t>> LinkTargetItemIdList(const std::string& link) override {
    const auto it = files.find(link);
    if (it == files.end() || !it->second.shortcut || it->second.item.empty()) return std::nullopt;
    return it->second.item;
  }
  std::string CreateShortcut(const ShortcutTarget& target, const std::string& folder,
                             const std::string& name) override {
    if (fail_writes) return "";
    if (target.path.empty() ? target.item_id_list.empty() : !files.count(target.path)) return "";
    std::string path = JoinPath(folder, FileMogChk(name) + ".lnk");
    for (int n = 1; files.count(path); ++n)
      path = JoinPath(folder, FileMogChk(name) + "(" + std::to_string(n) + ").lnk");
    files[path] = File{true, target.path, target.item_id_list, {}, {}};
    return path;
  }
  std::string StartupFolder(bool all_users) override {
    return all_users ? kCommonStartup : StartupOf("taro");
  }
  bool FileExists(const std::string& path) override { return files.count(path) > 0; }
  bool RemoveFile(const std::string& path) override {
    if (undeletable.count(path)) return false;
    files.erase(path);
    return true;
  }
  bool CopyFileTo(const std::string& from, const std::string& to) override {
    if (fail_writes || !files.count(from) || files.count(to)) return false;
    files[to] = files[from];
    return true;
  }
  std::optional<LinkFields> ReadLinkFields(const std::string& link) override {
    const auto it = files.find(link);
    if (it == files.end() || !it->second.shortcut) return std::nullopt;
    return LinkFields{it->second.target_path, it->second.arguments};
  }
  std::optional<std::string> ReadFileBytes(const std::string& path) override {
    const auto it = files.find(path);
    if (it == files.end() || unreadable.count(path)) return std::nullopt;
    return BytesOf(it->second);
  }
  bool WriteFileBytes(const std::string& path, std::string_view bytes, bool replace) override {
    if (fail_writes || (!replace && files.count(path))) return false;
    files[path] = FileOf(bytes);
    metadata.erase(path);
    return true;
  }
  std::optional<FileMetadata> FileMetadataOf(const std::string& path) override {
    if (!files.count(path)) return std::nullopt;
    return metadata.count(path) ? metadata[path] : FileMetadata{0x20, 1};
  }
  bool SetFileMetadata(const std::string& path, const FileMetadata& given) override {
    if (!files.count(path)) return false;
    metadata[path] = given;
    return true;
  }
  std::optional<ShortcutTarget> ShortcutTargetOf(std::string_view bytes) override {
    const File file = FileOf(bytes);
    if (!file.shortcut) return std::nullopt;
    return ShortcutTarget{file.target_path, file.item};
  }
};

inline RegistryValue StringValue(std::string_view text, std::uint32_t type = kRegSz) {
  return RegistryValue{type, StringToRegistryData(text)};
}

inline RunKeysBackup MakeBackup(std::string path) {
  RunKeysBackup backup;
  backup.file_path = std::move(path);
  return backup;
}

struct StartupFixture {
  MemoryRegistry registry;
  ScriptedPrompt prompt;
  ProfileLocations locations = TestLocations();
  FakeShell shell;
  TempFolder folder;
  DisabledBoxStore box = LoadedBox(folder.File("startup.txt"));
  RunKeysBackup backup = MakeBackup(folder.File("regdata.reg"));
  StartupContext context{registry, prompt, locations, shell, box, backup};

  static DisabledBoxStore LoadedBox(std::string path) {
    DisabledBoxStore store;
    store.path = std::move(path);
    store.state = DisabledBoxStore::State::kLoaded;  // as after a start without the file
    return store;
  }

  // The three keys every machine has; the 32-bit ones come with their first value.
  StartupFixture() {
    for (int i = 0; i < kFixedRunLocations; ++i)
      registry.OpenKey(kRunKeyLocations[i].root, kRunKeyLocations[i].path, KeyAccess::kCreate);
  }

  void SetRun(int location, std::string_view name, const RegistryValue& value) {
    const auto& where = kRunKeyLocations[location];
    registry.OpenKey(where.root, where.path, KeyAccess::kCreate)->WriteValue(name, value);
  }
  void SetRun(int location, std::string_view name, std::string_view command) {
    SetRun(location, name, StringValue(command));
  }
  std::optional<RegistryValue> Run(int location, std::string_view name) {
    const auto& where = kRunKeyLocations[location];
    const auto key = registry.OpenKey(where.root, where.path, KeyAccess::kRead);
    return key ? key->ReadValue(name) : std::nullopt;
  }
  std::vector<std::string> RunNames(int location) {
    const auto& where = kRunKeyLocations[location];
    const auto key = registry.OpenKey(where.root, where.path, KeyAccess::kRead);
    return key ? key->ValueNames().value_or(std::vector<std::string>{})
               : std::vector<std::string>{};
  }
  std::vector<std::string> BoxFile() { return LoadLineList(box.path).lines; }
  size_t KeptCount() { return FileNamesIn(KeptFolderOf(box.path)).size(); }

  int Profile(const char* name) { return *locations.ProfileIndexOf(name); }
};

// A live row as the startup list has it.
inline EntryRecord RunRow(int location, std::string name, std::string command) {
  EntryRecord row;
  SetRunLocation(row, location);
  row.Name = std::move(name);
  row.Command = std::move(command);
  return row;
}

inline EntryRecord FolderRow(int profile, std::string name, std::string path) {
  EntryRecord row;
  row.Key = profile;
  row.Name = std::move(name);
  row.Command = std::move(path);
  return row;
}

}  // namespace orvela::testing
