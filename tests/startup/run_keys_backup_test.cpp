#include <doctest.h>

#include <filesystem>

#include "platform/ansi_codec.h"
#include "platform/file_io.h"
#include "regfile/registry_file.h"
#include "startup/run_key_locations.h"
#include "startup/run_keys_backup.h"
#include "startup/startup_actions.h"
#include "startup/startup_test_support.h"

using namespace orvela;
using namespace orvela::testing;

namespace {

std::string FileText(const std::string& path) {
  const auto bytes = ReadWholeFile(path);
  return bytes ? DecodeFileText(*bytes).value_or("") : "";
}

}  // namespace

TEST_CASE("The Run keys are saved once, at the first change of a registry entry") {
  StartupFixture f;
  f.SetRun(0, "Tool", "C:\\Tools\\tool.exe /q");
  f.SetRun(1, "Agent", "C:\\Agent\\agent.exe");
  f.SetRun(2, "Setup", "C:\\Setup\\setup.exe");
  const std::string lnk = StartupOf("taro") + "\\Mail.lnk";
  f.shell.AddShortcut(lnk, "C:\\Mail\\mail.exe");

  // A folder change first takes no backup...
  DeleteStartupEntry(f.context, FolderRow(f.Profile("taro"), "Mail", lnk), false);
  CHECK_FALSE(f.backup.RunKeysSaved);
  CHECK_FALSE(f.backup.RunKeysUndoAvailable);
  CHECK_FALSE(ReadWholeFile(f.backup.file_path));

  // ...the registry change after it does, before the value goes.
  DisableStartupEntry(f.context, RunRow(0, "Tool", "C:\\Tools\\tool.exe /q"));
  CHECK(f.backup.RunKeysSaved);
  CHECK(f.backup.RunKeysUndoAvailable);
  const std::string saved = FileText(f.backup.file_path);
  CHECK(saved ==
        "Ｖ＆Ｌ Registry Text Data Version 1.1\r\n"
        "\r\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n"
        "\"Tool\"=\"C:\\\\Tools\\\\tool.exe /q\"\r\n"
        "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n"
        "\"Agent\"=\"C:\\\\Agent\\\\agent.exe\"\r\n"
        "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce]\r\n"
        "\"Setup\"=\"C:\\\\Setup\\\\setup.exe\"\r\n");

  // Later changes leave the state before the first one in the file.
  DeleteStartupEntry(f.context, RunRow(1, "Agent", "C:\\Agent\\agent.exe"), false);
  CHECK(FileText(f.backup.file_path) == saved);
  CHECK(f.prompt.shown().empty());
}

TEST_CASE("A backup file that cannot be written offers no undo and asks before the change") {
  StartupFixture f;
  f.SetRun(0, "Tool", "C:\\tool.exe");
  std::filesystem::create_directories(std::filesystem::u8path(f.backup.file_path));

  f.prompt.AnswerNo();
  CHECK_FALSE(DeleteStartupEntry(f.context, RunRow(0, "Tool", "C:\\tool.exe"), false).changed);
  REQUIRE(f.prompt.shown().size() == 1);
  CHECK(f.prompt.shown()[0].text == kBackupNotWrittenQuestion);
  CHECK(f.Run(0, "Tool"));
  CHECK_FALSE(f.backup.RunKeysSaved);
  CHECK_FALSE(f.backup.RunKeysUndoAvailable);

  f.prompt.AnswerYes();
  CHECK(DeleteStartupEntry(f.context, RunRow(0, "Tool", "C:\\tool.exe"), false).changed);
  CHECK_FALSE(f.Run(0, "Tool"));
  CHECK_FALSE(f.backup.RunKeysUndoAvailable);
}

TEST_CASE("Undo and reload") {
  StartupFixture f;
  f.SetRun(0, "Keep", "C:\\keep.exe");
  f.SetRun(0, "Deleted", "C:\\deleted.exe");
  f.SetRun(0, "Changed", "C:\\before.exe");
  f.SetRun(2, "Setup", "C:\\setup.exe");
  const RegistryValue expand = StringValue("%ProgramFiles%\\x.exe", kRegExpandSz);
  f.SetRun(0, "Expand", expand);
  // A subkey is saved with its Run key, and a file holding its section is taken.
  f.registry.OpenKey(RootKey::kCurrentUser, std::string(kRunKeyLocations[0].path) + "\\Sub", KeyAccess::kCreate)->WriteValue("x", {});
  const EntryRecord selected = RunRow(0, "Keep", "C:\\keep.exe");
  REQUIRE(SaveRunKeys(f.backup, f.registry, f.prompt, &selected));
  CHECK(f.backup.RunKeysSaved);

  const auto user = f.registry.OpenKey(RootKey::kCurrentUser, kRunKeyLocations[0].path, KeyAccess::kWrite);
  user->DeleteValue("Deleted");
  user->WriteValue("Changed", StringValue("C:\\after.exe"));
  user->WriteValue("Expand", StringValue("C:\\other.exe"));
  f.registry.DeleteKeyTree(RootKey::kLocalMachine, kRunKeyLocations[2].path);

  SUBCASE("undo: the keys hold exactly what was saved") {
    CHECK(RestoreRunKeys(f.context, false));
    CHECK(f.Run(0, "Keep") == StringValue("C:\\keep.exe"));
    CHECK(f.Run(0, "Deleted") == StringValue("C:\\deleted.exe"));
    CHECK(f.Run(0, "Changed") == StringValue("C:\\before.exe"));
    CHECK(f.Run(0, "Expand") == expand);
    CHECK(f.Run(2, "Setup") == StringValue("C:\\setup.exe"));
    CHECK(f.prompt.shown().empty());
    CHECK(f.backup.RunKeysUndoAvailable);  // offered again, against the same file
  }

  SUBCASE("reload: existing keys stay as they are, a deleted key comes back") {
    CHECK(RestoreRunKeys(f.context, true));
    CHECK(f.Run(0, "Changed") == StringValue("C:\\after.exe"));
    CHECK_FALSE(f.Run(0, "Deleted"));
    CHECK(f.Run(2, "Setup") == StringValue("C:\\setup.exe"));
  }

  SUBCASE("a key the user may not change: nothing is restored while the file would change it") {
    f.context.administrator = false;
    CHECK_FALSE(RestoreRunKeys(f.context, true));
    CHECK(f.prompt.messages() == std::vector<std::string>{std::string(kRestoreRefused) + "\n" + RunKeyNames()[2] +
                                                          "\n理由：" + SystemErrorText(kErrorAccessDenied) + "\n" +
                                                          std::string(startup_messages::kAdministratorNeeded)});
    CHECK_FALSE(f.Run(2, "Setup"));
    f.SetRun(2, "Setup", "C:\\setup.exe");  // as saved: undo leaves it alone and restores the rest
    CHECK(RestoreRunKeys(f.context, false));
    CHECK(f.Run(0, "Deleted") == StringValue("C:\\deleted.exe"));
  }
}

TEST_CASE("Undo and reload check the whole backup file first: a bad one changes nothing") {
  StartupFixture f;
  f.SetRun(0, "Keep", "C:\\keep.exe");
  f.SetRun(1, "Agent", "C:\\agent.exe");
  f.SetRun(2, "Setup", "C:\\setup.exe");
  const EntryRecord selected = RunRow(0, "Keep", "C:\\keep.exe");
  REQUIRE(SaveRunKeys(f.backup, f.registry, f.prompt, &selected));
  f.SetRun(0, "Added", "C:\\added.exe");
  f.registry.DeleteKeyTree(RootKey::kLocalMachine, kRunKeyLocations[2].path);
  f.box.lines = {"User@Old=C:\\old.exe"};
  const std::vector<std::string> box = f.box.lines;
  const size_t keys = f.registry.CountKeys();
  const auto state = [&] {
    std::vector<std::optional<RegistryValue>> values;
    for (const char* name : {"Keep", "Added"}) values.push_back(f.Run(0, name));
    values.push_back(f.Run(1, "Agent"));
    return values;
  };
  const auto values = state();

  const std::string damaged = std::string(kBackupDamaged) + "\n" + f.backup.file_path;
  const auto fixture = [](const char* name) { return FixtureBytes(std::string("startup/fixtures/") + name); };
  // Sections another user may add: any other key, a Run key that was not there at the backup.
  const std::string saved = *ReadWholeFile(f.backup.file_path), evil = "HKEY_CURRENT_USER\\Software\\Evil\\Run",
                    run32 = "HKEY_LOCAL_MACHINE\\" + std::string(kRunKeyLocations[3].path);
  const auto adding = [&](const std::string& key) { return saved + "\r\n[" + key + "]\r\n\"E\"=\"C:\\\\e.exe\"\r\n"; };
  const auto outside = [&](const std::string& key) {
    return std::string(kBackupOutsideRunKeys) + "\n" + f.backup.file_path + "\n\n[" + key + "]";
  };
  const std::pair<std::optional<std::string>, std::string> files[] = {
      {fixture("regdata_cut_after_first_section.reg"), damaged},
      {fixture("regdata_zeroed_block.reg"), damaged},
      {fixture("regdata_x_then_bracket.reg"), damaged},
      {fixture("regdata_x.reg"), std::string(TRegistryFile::kNotRegistryFile)},
      {fixture("regdata_bracket.reg"), std::string(TRegistryFile::kNotRegistryFile)},
      {adding(evil), outside(evil)},
      {adding(run32), outside(run32)},
      {std::nullopt, std::string(TRegistryFile::kNotRegistryFile)},  // the file gone
  };
  for (const auto& entry : files) {
    const std::string& told = entry.second;
    for (const bool reload : {false, true}) {
      CAPTURE(told);
      CAPTURE(reload);
      std::filesystem::remove(std::filesystem::u8path(f.backup.file_path));
      if (entry.first) {
        REQUIRE_FALSE(entry.first->empty());
        REQUIRE(WriteWholeFileReplacing(f.backup.file_path, *entry.first));
      }
      f.prompt.clear();
      CHECK_FALSE(RestoreRunKeys(f.context, reload));
      CHECK(f.prompt.messages() == std::vector<std::string>{told});
      CHECK(state() == values);
      CHECK(f.registry.CountKeys() == keys);
      CHECK(f.box.lines == box);
    }
  }
}

TEST_CASE("Undo moves a value the backup does not hold into the Disabled Box first") {
  StartupFixture f;
  f.SetRun(0, "Keep", "C:\\keep.exe");
  f.SetRun(2, "Setup", "C:\\setup.exe");
  const EntryRecord selected = RunRow(0, "Keep", "C:\\keep.exe");
  f.box.lines = {"User@Enabled=C:\\enabled.exe /s", "User@Other=C:\\other.exe"};
  REQUIRE(SaveRunKeys(f.backup, f.registry, f.prompt, &selected));

  // During the run: an entry enabled from the box, one moved into the machine's key, values
  // written by programs, and values no line can carry.
  REQUIRE(EnableStartupEntry(f.context, 0).changed);
  f.SetRun(1, "Moved", "\"C:\\Program Files\\m.exe\" -x");
  f.SetRun(2, "Later", StringValue("%SystemRoot%\\later.exe", kRegExpandSz));
  f.SetRun(0, "a=b", "C:\\equals.exe");
  f.SetRun(0, "Number", RegistryValue{kRegDword, {1, 0, 0, 0}});
  f.prompt.clear();

  CHECK(RestoreRunKeys(f.context, false));
  CHECK(f.RunNames(0) == std::vector<std::string>{"Keep", "a=b", "Number"});
  CHECK(f.RunNames(1).empty());
  CHECK(f.RunNames(2) == std::vector<std::string>{"Setup"});
  const std::vector<std::string> box{"User@Other=C:\\other.exe", "User@Enabled=C:\\enabled.exe /s",
                                     "Machine@Moved=\"C:\\Program Files\\m.exe\" -x",
                                     "MachineOnce@Later=%SystemRoot%\\later.exe"};
  CHECK(f.box.lines == box);
  CHECK(f.BoxFile() == box);
  CHECK(f.prompt.messages() ==
        std::vector<std::string>{std::string(kUndoMovedToBox) + "\n[Enabled]\n[Moved]\n[Later]",
                                 std::string(kUndoKeptValues) + "\n[a=b]\n[Number]"});

  // Enabled again from the box, each comes back as it was.
  REQUIRE(EnableStartupEntry(f.context, 3).changed);
  CHECK(f.Run(2, "Later") == StringValue("%SystemRoot%\\later.exe", kRegExpandSz));

  SUBCASE("a box file that cannot be written: the values stay where they are") {
    f.SetRun(0, "Late", "C:\\late.exe");
    f.context.box.state = DisabledBoxStore::State::kUnreadable;
    f.prompt.clear();
    CHECK(RestoreRunKeys(f.context, false));
    CHECK(f.Run(0, "Late"));
    CHECK(f.prompt.messages().back() ==
          std::string(kUndoKeptValues) + "\n[a=b]\n[Number]\n[Late]\n[Later]");
  }
}

TEST_CASE("Undo with a key that did not exist at the backup: its later values go to the box") {
  StartupFixture f;
  f.registry.DeleteKeyTree(RootKey::kCurrentUser, kRunKeyLocations[0].path);
  f.SetRun(1, "Agent", "C:\\agent.exe");
  const EntryRecord selected = RunRow(1, "Agent", "C:\\agent.exe");
  REQUIRE(SaveRunKeys(f.backup, f.registry, f.prompt, &selected));  // the key not opened is told
  f.SetRun(0, "New", "C:\\new.exe");
  f.prompt.clear();

  CHECK(RestoreRunKeys(f.context, false));
  CHECK(f.RunNames(0).empty());
  CHECK(f.box.lines == std::vector<std::string>{"User@New=C:\\new.exe"});
  CHECK(f.Run(1, "Agent"));
}

TEST_CASE("An entry that undo or reload puts back leaves the Disabled Box") {
  StartupFixture f;
  f.SetRun(0, "Tool", "C:\\tool.exe /q");
  f.SetRun(2, "Setup", "C:\\setup.exe");
  f.box.lines = {"User@Tool=C:\\tool.exe /old", "Machine@Tool=C:\\tool.exe /q"};
  REQUIRE(DisableStartupEntry(f.context, RunRow(0, "Tool", "C:\\tool.exe /q")).changed);
  REQUIRE(DisableStartupEntry(f.context, RunRow(2, "Setup", "C:\\setup.exe")).changed);
  REQUIRE(f.box.lines.size() == 4);
  // Other lines of the same name stay: another command, another key.
  const std::vector<std::string> others{"User@Tool=C:\\tool.exe /old", "Machine@Tool=C:\\tool.exe /q"};

  SUBCASE("undo") {
    CHECK(RestoreRunKeys(f.context, false));
    CHECK(f.Run(0, "Tool") == StringValue("C:\\tool.exe /q"));
    CHECK(f.Run(2, "Setup"));
    CHECK(f.box.lines == others);
    CHECK(f.BoxFile() == others);
  }

  SUBCASE("reload puts back only what is in a missing key") {
    f.registry.DeleteKeyTree(RootKey::kLocalMachine, kRunKeyLocations[2].path);
    CHECK(RestoreRunKeys(f.context, true));
    CHECK_FALSE(f.Run(0, "Tool"));
    CHECK(f.Run(2, "Setup"));
    CHECK(f.box.lines == std::vector<std::string>{others[0], others[1], "User@Tool=C:\\tool.exe /q"});
  }

  SUBCASE("a box file that cannot follow: told, and the list shows the entry once") {
    f.context.box.state = DisabledBoxStore::State::kUnreadable;
    f.prompt.clear();
    CHECK(RestoreRunKeys(f.context, false));
    CHECK(f.box.lines == others);
    CHECK(f.prompt.messages() ==
          std::vector<std::string>{std::string(kUndoBoxNotWritten) + "\n" + f.context.box.path});
  }
}

TEST_CASE("The 32-bit Run keys in the backup: two more sections when they exist") {
  StartupFixture f;
  f.SetRun(0, "Tool", "C:\\tool.exe");

  SUBCASE("absent keys: no section, no warning, and undo leaves them alone") {
    const EntryRecord selected = RunRow(0, "Tool", "C:\\tool.exe");
    REQUIRE(SaveRunKeys(f.backup, f.registry, f.prompt, &selected));
    CHECK(f.prompt.shown().empty());
    CHECK(FileText(f.backup.file_path).find("WOW6432Node") == std::string::npos);
    f.SetRun(3, "Installed", "C:\\installed.exe");  // a 32-bit program installed since
    CHECK(RestoreRunKeys(f.context, false));
    CHECK(f.prompt.shown().empty());
    CHECK(f.Run(0, "Tool"));
    CHECK(f.Run(3, "Installed"));
    CHECK(f.box.lines.empty());
  }

  SUBCASE("present keys: saved after the three, undone and reloaded like them") {
    f.SetRun(3, "Helper", "C:\\helper.exe");
    f.SetRun(4, "Fix", "C:\\fix.exe");
    REQUIRE(DisableStartupEntry(f.context, RunRow(3, "Helper", "C:\\helper.exe")).changed);
    const std::string saved = FileText(f.backup.file_path);
    const size_t run_once = saved.find("CurrentVersion\\RunOnce]");
    const size_t run32 = saved.find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n\"Helper\"=");
    const size_t run_once32 = saved.find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\RunOnce]\r\n\"Fix\"=");
    CHECK(run_once < run32);
    CHECK(run32 < run_once32);
    CHECK(run_once32 != std::string::npos);
    CHECK(f.box.lines == std::vector<std::string>{"Machine32@Helper=C:\\helper.exe"});

    f.SetRun(4, "Later", "C:\\later.exe");
    CHECK(RestoreRunKeys(f.context, false));
    CHECK(f.Run(3, "Helper") == StringValue("C:\\helper.exe"));
    CHECK_FALSE(f.Run(4, "Later"));
    // The undone entry left the box; the value added since took its place there.
    CHECK(f.box.lines == std::vector<std::string>{"MachineOnce32@Later=C:\\later.exe"});

    f.registry.DeleteKeyTree(RootKey::kLocalMachine, kRunKeyLocations[4].path);
    CHECK(RestoreRunKeys(f.context, true));
    CHECK(f.Run(4, "Fix") == StringValue("C:\\fix.exe"));
  }
}

TEST_CASE("The backup is read and written where the caller says; what it tells comes afterwards") {
  StartupFixture f;
  f.registry.DeleteKeyTree(RootKey::kCurrentUser, kRunKeyLocations[0].path);  // cannot be opened
  f.SetRun(1, "Agent", "C:\\agent.exe");
  const size_t before = f.prompt.shown().size();
  bool ran = false, written_when_done = false;
  size_t told_meanwhile = 0;
  f.backup.run_file_work = [&](const std::function<void()>& work) {
    work();
    ran = true;
    written_when_done = ReadWholeFile(f.backup.file_path).has_value();
    told_meanwhile = f.prompt.shown().size() - before;
  };
  const EntryRecord selected = RunRow(1, "Agent", "C:\\agent.exe");
  REQUIRE(SaveRunKeys(f.backup, f.registry, f.prompt, &selected));
  CHECK(ran);
  CHECK(written_when_done);
  CHECK(told_meanwhile == 0);
  CHECK(f.prompt.shown().size() == before + 1);  // the key it could not open
  CHECK(f.backup.RunKeysSaved);
}

TEST_CASE("The user's RunOnce key and the policy Run keys in the backup, as the 32-bit keys") {
  StartupFixture f;
  f.SetRun(6, "Tray", "C:\\tray.exe");  // the user's policy key exists; the others do not
  REQUIRE(DisableStartupEntry(f.context, RunRow(6, "Tray", "C:\\tray.exe")).changed);
  const std::string saved = FileText(f.backup.file_path);
  CHECK(saved.find("[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\Run]") !=
        std::string::npos);
  CHECK(saved.find("[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce]") == std::string::npos);

  f.SetRun(6, "Later", "C:\\later.exe");
  f.SetRun(5, "Once", "C:\\once.exe");  // a key that came after the backup
  CHECK(RestoreRunKeys(f.context, false));
  CHECK(f.Run(6, "Tray") == StringValue("C:\\tray.exe"));
  CHECK_FALSE(f.Run(6, "Later"));
  CHECK(f.Run(5, "Once"));  // left alone: the backup has no section for it
  CHECK(f.box.lines == std::vector<std::string>{"UserPolicy@Later=C:\\later.exe"});
}
