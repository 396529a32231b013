#include <doctest.h>

#include <filesystem>

#include "disabled_box/disabled_box.h"
#include "system/registry_value_text.h"
#include "startup/startup_actions.h"
#include "startup/startup_adding.h"
#include "disabled_box/kept_item_files.h"
#include "fixture_files.h"
#include "platform/file_io.h"
#include "startup/startup_test_support.h"

using namespace orvela;
using namespace orvela::testing;
namespace msg = orvela::startup_messages;

namespace {

std::string Told(std::string_view name, std::string_view text) {
  return "[" + std::string(name) + "]\n" + std::string(text);
}

const std::vector<std::uint8_t> kItem = {0x04, 0x00, 0xAB, 0xCD, 0x00, 0x00};

}  // namespace

TEST_CASE("Run values: disabled into the Disabled Box and enabled back as they were") {
  StartupFixture f;

  SUBCASE("user Run value, quotes and all, byte for byte") {
    const std::string command = "\"C:\\Program Files\\Tool\\tool.exe\" /q \"x y\"";
    f.SetRun(0, "Tool", command);
    const RegistryValue before = *f.Run(0, "Tool");
    f.box.lines = {"taro=Old#$#C:\\old.exe"};

    const ActionResult disabled = DisableStartupEntry(f.context, RunRow(0, "Tool", command));
    CHECK(disabled.changed);
    CHECK_FALSE(f.Run(0, "Tool"));
    const std::vector<std::string> expected = {"taro=Old#$#C:\\old.exe", "User@Tool=" + command};
    CHECK(f.box.lines == expected);        // appended at the end
    CHECK(f.BoxFile() == expected);  // and in the file at once

    const auto rows = DisabledBoxRecords(f.box.lines, f.locations);
    CHECK(rows[1].Command == command);
    CHECK(rows[1].Location.empty());

    CHECK(EnableStartupEntry(f.context, 1).changed);
    CHECK(f.Run(0, "Tool") == before);
    CHECK(f.box.lines == std::vector<std::string>{"taro=Old#$#C:\\old.exe"});
    CHECK(f.BoxFile() == f.box.lines);
    CHECK(f.prompt.shown().empty());
  }

  SUBCASE("the line keeps what the key holds now, not the list's older text") {
    f.SetRun(0, "Tool", "C:\\new.exe");
    DisableStartupEntry(f.context, RunRow(0, "Tool", "C:\\old.exe"));
    CHECK(f.box.lines == std::vector<std::string>{"User@Tool=C:\\new.exe"});
  }

  SUBCASE("an expandable value comes back expandable") {
    const RegistryValue before = StringValue("%ProgramFiles%\\Tool\\tool.exe", kRegExpandSz);
    f.SetRun(1, "Tool", before);
    DisableStartupEntry(f.context, RunRow(1, "Tool", "%ProgramFiles%\\Tool\\tool.exe"));
    CHECK(f.box.lines == std::vector<std::string>{"Machine@Tool=%ProgramFiles%\\Tool\\tool.exe"});
    EnableStartupEntry(f.context, 0);
    CHECK(f.Run(1, "Tool") == before);
  }

  SUBCASE("MachineOnce@Setup goes back into RunOnce, not Run") {
    f.SetRun(2, "Setup", "C:\\Setup\\setup.exe");
    DisableStartupEntry(f.context, RunRow(2, "Setup", "C:\\Setup\\setup.exe"));
    CHECK(f.box.lines == std::vector<std::string>{"MachineOnce@Setup=C:\\Setup\\setup.exe"});
    EnableStartupEntry(f.context, 0);
    CHECK(f.Run(2, "Setup") == StringValue("C:\\Setup\\setup.exe"));
    CHECK_FALSE(f.Run(1, "Setup"));
  }

  SUBCASE("a value that is gone still gives its line") {
    CHECK(DisableStartupEntry(f.context, RunRow(0, "Gone", "C:\\gone.exe")).changed);
    CHECK(f.box.lines == std::vector<std::string>{"User@Gone=C:\\gone.exe"});
  }

  SUBCASE("names that a line cannot give back are not disabled") {
    for (const char* name : {"a=b", "a#$#b", "a@@@b"}) {
      CAPTURE(name);
      f.SetRun(0, name, "C:\\x.exe");
      const ActionResult result = DisableStartupEntry(f.context, RunRow(0, name, "C:\\x.exe"));
      CHECK_FALSE(result.changed);
      CHECK(result.message == Told(name, msg::kNameNotStorable));
      CHECK(f.Run(0, name));
    }
    CHECK(f.box.lines.empty());
    CHECK(f.prompt.messages().size() == 3);
  }

  SUBCASE("a value that is no string is not disabled") {
    f.SetRun(0, "Count", RegistryValue{kRegDword, {1, 0, 0, 0}});
    const ActionResult result = DisableStartupEntry(f.context, RunRow(0, "Count", "1"));
    CHECK(result.message == Told("Count", msg::kValueNotStorable));
    CHECK(f.Run(0, "Count"));
    CHECK(f.box.lines.empty());
  }

  SUBCASE("a key the user may only read, a machine key for one who is no administrator: refused") {
    f.SetRun(1, "Agent", "C:\\agent.exe");
    f.registry.MakeReadOnly(RootKey::kLocalMachine, std::string(kRunKeyLocations[1].path));
    const std::string told = Told("Agent", KeyRefusalText(RunKeyNames()[1], kErrorAccessDenied, true));
    CHECK(DisableStartupEntry(f.context, RunRow(1, "Agent", "C:\\agent.exe")).message == told);
    CHECK(ChangeLocation(f.context, RunRow(0, "Agent", "C:\\agent.exe"), 1).message == told);
    f.box.lines = {"Machine@Agent=C:\\other.exe"};
    CHECK(EnableStartupEntry(f.context, 0).message == told);
    f.context.administrator = false;
    std::vector<EntryRecord> rows = {RunRow(0, "Mine", "C:\\mine.exe"), RunRow(2, "Once", "C:\\once.exe")};
    MarkReadOnlyEntries(rows, f.registry, false);
    CHECK((!rows[0].ReadOnly && rows[1].ReadOnly));
    CHECK(AddRunValue(f.context, "C:\\new.exe", 2).message ==
          Told("new", KeyRefusalText(RunKeyNames()[2], kErrorAccessDenied, false)));
    CHECK((f.Run(1, "Agent") == StringValue("C:\\agent.exe") && !f.Run(2, "new") && f.box.lines.size() == 1));
    CHECK_FALSE(f.backup.RunKeysSaved);
  }

  SUBCASE("a Disabled Box file that cannot be written: the value stays") {
    f.SetRun(0, "Tool", "C:\\tool.exe");
    // A folder where the file should be: the write fails.
    std::filesystem::create_directories(std::filesystem::u8path(f.box.path));
    const ActionResult result = DisableStartupEntry(f.context, RunRow(0, "Tool", "C:\\tool.exe"));
    CHECK_FALSE(result.changed);
    CHECK(f.Run(0, "Tool"));
    CHECK(f.box.lines.empty());
    CHECK(result.message.find(msg::kBoxNotWritten) != std::string::npos);
  }

  SUBCASE("enabling never overwrites another value silently, and never loses the line") {
    f.box.lines = {"User@Tool=C:\\disabled.exe"};
    f.SetRun(0, "Tool", "C:\\live.exe");
    f.prompt.AnswerNo();
    CHECK_FALSE(EnableStartupEntry(f.context, 0).changed);
    CHECK(f.prompt.shown().back().text == Told("Tool", msg::kReplaceQuestion));
    CHECK(f.prompt.shown().back().default_no);  // Enter keeps the value nothing else keeps
    CHECK(f.Run(0, "Tool") == StringValue("C:\\live.exe"));
    CHECK(f.box.lines.size() == 1);

    f.registry.MakeReadOnly(RootKey::kCurrentUser, std::string(kRunKeyLocations[0].path));
    CHECK_FALSE(EnableStartupEntry(f.context, 0).changed);
    CHECK(f.box.lines.size() == 1);
  }
}

TEST_CASE("Startup folder shortcuts: disabled and enabled through the shell") {
  StartupFixture f;
  const int taro = f.Profile("taro");
  const std::string mail_lnk = StartupOf("taro") + "\\Mail.lnk";
  f.shell.AddProgram("C:\\Mail\\mail.exe");
  f.shell.AddShortcut(mail_lnk, "C:\\Mail\\mail.exe");

  SUBCASE("taro=Mail#$#C:\\Mail\\mail.exe and back into taro's folder") {
    CHECK(DisableStartupEntry(f.context, FolderRow(taro, "Mail", mail_lnk)).changed);
    CHECK_FALSE(f.shell.FileExists(mail_lnk));
    CHECK(f.BoxFile() == std::vector<std::string>{"taro=Mail#$#C:\\Mail\\mail.exe"});
    CHECK_FALSE(f.backup.RunKeysSaved);  // a folder change takes no backup

    CHECK(EnableStartupEntry(f.context, 0).changed);
    REQUIRE(f.shell.FileExists(mail_lnk));
    CHECK(f.shell.ResolveLink(mail_lnk) == "C:\\Mail\\mail.exe");
    CHECK(f.BoxFile().empty());
  }

  SUBCASE("a profile name written in another case still finds the profile") {
    f.box.lines = {"TARO=Mail#$#C:\\Mail\\mail.exe"};
    f.shell.files.erase(mail_lnk);
    EnableStartupEntry(f.context, 0);
    CHECK(f.shell.ResolveLink(mail_lnk) == "C:\\Mail\\mail.exe");
  }

  SUBCASE("a shortcut to a shell item keeps its item id list") {
    const std::string scan_lnk = std::string(kCommonStartup) + "\\Scan.lnk";
    f.shell.AddItemShortcut(scan_lnk, kItem);
    DisableStartupEntry(f.context, FolderRow(f.locations.all_users_index(), "Scan", scan_lnk));
    CHECK(f.box.lines == std::vector<std::string>{"All Users=Scan@@@0400ABCD"});
    CHECK(DisabledBoxRecords(f.box.lines, f.locations)[0].ItemIdForm);

    EnableStartupEntry(f.context, 0);
    REQUIRE(f.shell.FileExists(scan_lnk));
    CHECK(f.shell.files[scan_lnk].item == kItem);
  }

  SUBCASE("a file that is no shortcut stays where it is") {
    const std::string bat = StartupOf("taro") + "\\run.bat";
    f.shell.AddProgram(bat);
    const ActionResult result = DisableStartupEntry(f.context, FolderRow(taro, "run", bat));
    CHECK(result.message == Told("run", msg::kNotAShortcut));
    CHECK(f.shell.FileExists(bat));
    CHECK(f.box.lines.empty());
  }

  SUBCASE("a shortcut that cannot be deleted is not left half disabled") {
    f.shell.undeletable.insert(mail_lnk);
    const ActionResult result = DisableStartupEntry(f.context, FolderRow(taro, "Mail", mail_lnk));
    CHECK_FALSE(result.changed);
    CHECK(result.message == Told("Mail", msg::kNotDisabledFile));
    CHECK(f.box.lines.empty());
    CHECK(f.BoxFile().empty());
    CHECK(f.KeptCount() == 0);
  }

  SUBCASE("a shortcut that cannot be made back keeps its line") {
    f.box.lines = {"hanako=Gone#$#C:\\gone\\gone.exe", "taro=Bad@@@0400AB", "jiro=Old#$#C:\\old.exe"};
    CHECK(EnableStartupEntry(f.context, 0).message == Told("Gone", msg::kShortcutFailedKept));
    CHECK(EnableStartupEntry(f.context, 1).message == Told("Bad", msg::kItemIdUnreadable));
    CHECK(EnableStartupEntry(f.context, 2).message ==
          Told("jiro", msg::kUnrecognisedLine));  // jiro's profile is gone
    CHECK(f.box.lines.size() == 3);
  }

}

TEST_CASE("a disabled entry keeps its exact original and comes back as it was") {
  StartupFixture f;
  const int taro = f.Profile("taro");
  const std::string mail_lnk = StartupOf("taro") + "\\Mail.lnk";
  f.shell.AddProgram("C:\\Mail\\mail.exe");
  f.shell.AddShortcut(mail_lnk, "C:\\Mail\\mail.exe");
  f.shell.files[mail_lnk].arguments = "-check";
  f.shell.files[mail_lnk].extra = "icon=mail.ico;hotkey=Ctrl+Alt+M;folder=C:\\Mail";
  const FakeShell::File original = f.shell.files[mail_lnk];

  SUBCASE("a shortcut: arguments, icon, hot key, working folder, attributes and time come back") {
    f.shell.metadata[mail_lnk] = FileMetadata{0x27, 125911584000000000};
    REQUIRE(DisableStartupEntry(f.context, FolderRow(taro, "Mail", mail_lnk)).changed);
    CHECK(f.box.lines == std::vector<std::string>{"taro=Mail#$#C:\\Mail\\mail.exe"});
    CHECK(f.KeptCount() == 1);
    REQUIRE(EnableStartupEntry(f.context, 0).changed);
    CHECK(f.shell.files[mail_lnk] == original);
    CHECK(f.shell.metadata[mail_lnk] == FileMetadata{0x27, 125911584000000000});
    CHECK(f.KeptCount() == 0);
  }
  SUBCASE("a box file that cannot be written after an enable keeps the line and its original") {
    REQUIRE(DisableStartupEntry(f.context, FolderRow(taro, "Mail", mail_lnk)).changed);
    std::filesystem::remove(std::filesystem::u8path(f.box.path));
    std::filesystem::create_directories(std::filesystem::u8path(f.box.path));
    const ActionResult result = EnableStartupEntry(f.context, 0);
    CHECK(result.message == Told("Mail", std::string(msg::kEnabledBoxNotWritten) + "\n" + f.box.path));
    CHECK(f.shell.files[mail_lnk] == original);
    CHECK(f.box.lines.size() == 1);
    CHECK(f.KeptCount() == 1);
  }
  SUBCASE("a shortcut whose target is out of reach can be disabled, and comes back") {
    f.shell.files.erase("C:\\Mail\\mail.exe");  // as a network path that does not answer
    f.shell.files[mail_lnk].target_path = "\\\\server\\share\\mail.exe";
    const FakeShell::File unreachable = f.shell.files[mail_lnk];
    REQUIRE(DisableStartupEntry(f.context, FolderRow(taro, "Mail", mail_lnk)).changed);
    CHECK(f.box.lines == std::vector<std::string>{"taro=Mail#$#\\\\server\\share\\mail.exe"});
    CHECK_FALSE(f.shell.FileExists(mail_lnk));
    REQUIRE(EnableStartupEntry(f.context, 0).changed);
    CHECK(f.shell.files[mail_lnk] == unreachable);
  }
  SUBCASE("Run values keep their type: REG_SZ with %windir%, REG_EXPAND_SZ without %") {
    const RegistryValue plain = StringValue("%windir%\\tool.exe", kRegSz);
    const RegistryValue expandable = StringValue("C:\\Tools\\tool.exe", kRegExpandSz);
    f.SetRun(0, "Plain", plain);
    f.SetRun(2, "Expand", expandable);
    REQUIRE(DisableStartupEntry(f.context, RunRow(0, "Plain", "%windir%\\tool.exe")).changed);
    REQUIRE(DisableStartupEntry(f.context, RunRow(2, "Expand", "C:\\Tools\\tool.exe")).changed);
    REQUIRE(EnableStartupEntry(f.context, 1).changed);
    REQUIRE(EnableStartupEntry(f.context, 0).changed);
    CHECK(f.Run(0, "Plain") == plain);
    CHECK(f.Run(2, "Expand") == expandable);
    CHECK(f.KeptCount() == 0);
  }
  SUBCASE("a line without its kept original is made again from the line") {
    f.box.lines = {"TARO=Mail#$#C:\\Mail\\mail.exe", "User@Tool=%windir%\\tool.exe"};
    f.shell.files.erase(mail_lnk);
    REQUIRE(EnableStartupEntry(f.context, 1).changed);
    CHECK(f.Run(0, "Tool") == StringValue("%windir%\\tool.exe", kRegExpandSz));
    REQUIRE(EnableStartupEntry(f.context, 0).changed);
    CHECK(f.shell.files[mail_lnk].target_path == "C:\\Mail\\mail.exe");
    CHECK(f.shell.files[mail_lnk].arguments.empty());
  }
  SUBCASE("no original kept, nothing disabled") {
    // A file where the kept originals folder should be.
    REQUIRE(WriteWholeFileReplacing(f.folder.File("kept"), "x"));
    const ActionResult result = DisableStartupEntry(f.context, FolderRow(taro, "Mail", mail_lnk));
    CHECK(result.message == Told("Mail", msg::kOriginalNotKept));
    CHECK(f.shell.FileExists(mail_lnk));
    CHECK(f.box.lines.empty());
  }
  SUBCASE("deleting a line from the box drops its kept original") {
    REQUIRE(DisableStartupEntry(f.context, FolderRow(taro, "Mail", mail_lnk)).changed);
    REQUIRE(DeleteDisabledBoxEntry(f.context, 0, false).changed);
    CHECK(f.KeptCount() == 0);
  }
}

TEST_CASE("a line that stands twice: each enables its own original") {
  StartupFixture f;
  const std::string mail_lnk = StartupOf("taro") + "\\Mail.lnk";
  f.shell.AddProgram("C:\\Mail\\mail.exe");
  // Disabled, put back by an installer with other arguments, disabled again.
  for (const char* arguments : {"/old", "/new"}) {
    f.shell.AddShortcut(mail_lnk, "C:\\Mail\\mail.exe");
    f.shell.files[mail_lnk].arguments = arguments;
    REQUIRE(DisableStartupEntry(f.context, FolderRow(f.Profile("taro"), "Mail", mail_lnk)).changed);
  }
  REQUIRE(f.box.lines.size() == 2);
  REQUIRE(EnableStartupEntry(f.context, 1).changed);
  CHECK(f.shell.files[mail_lnk].arguments == "/new");
  f.shell.files.erase(mail_lnk);
  REQUIRE(EnableStartupEntry(f.context, 0).changed);
  CHECK(f.shell.files[mail_lnk].arguments == "/old");
  CHECK(f.KeptCount() == 0);
}

TEST_CASE("kept items of an earlier version: used only when their line owns them and they agree with it") {
  StartupFixture f;
  const std::string line = "User@Tool=C:\\tools\\tool.exe";
  const std::vector<std::uint8_t> data = StringToRegistryData("C:\\tools\\tool.exe");
  const auto payload = [](const std::vector<std::uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); };
  REQUIRE(f.box.Commit({line}));

  SUBCASE("one that agrees gives back the value's own type") {
    REQUIRE(PutEarlierKeptItem(f.box.path, 1, line, "value=2", payload(data)));
    f.box.Load(f.prompt);
    REQUIRE(EnableStartupEntry(f.context, 0).changed);
    CHECK(f.Run(0, "Tool") == RegistryValue{kRegExpandSz, data});
    CHECK(f.prompt.shown().empty());
  }
  SUBCASE("one holding another command is not used, and the user is told") {
    REQUIRE(PutEarlierKeptItem(f.box.path, 1, line, "value=1", payload(StringToRegistryData("C:\\evil\\evil.exe"))));
    f.box.Load(f.prompt);
    CHECK(EnableStartupEntry(f.context, 0).message == Told("Tool", kKeptNotUsedText));
    CHECK(f.Run(0, "Tool") == StringValue("C:\\tools\\tool.exe"));
  }
  SUBCASE("one a killed disable left is not taken for the line disabled after it") {
    const std::string mail_lnk = StartupOf("taro") + "\\Mail.lnk";
    f.shell.AddProgram("C:\\Mail\\mail.exe");
    f.shell.AddShortcut(mail_lnk, "C:\\Mail\\mail.exe");
    f.shell.files[mail_lnk].arguments = "/old";
    REQUIRE(PutEarlierKeptItem(f.box.path, 1, "taro=Mail#$#C:\\Mail\\mail.exe", "file=Mail.lnk",
                               FakeShell::BytesOf(f.shell.files[mail_lnk])));
    f.box.Load(f.prompt);
    f.shell.files[mail_lnk].arguments = "/new";
    REQUIRE(DisableStartupEntry(f.context, FolderRow(f.Profile("taro"), "Mail", mail_lnk)).changed);
    REQUIRE(EnableStartupEntry(f.context, 1).changed);
    CHECK(f.shell.files[mail_lnk].arguments == "/new");
  }
}

TEST_CASE("enabling an entry that is in place already makes no second copy") {
  StartupFixture f;
  const int taro = f.Profile("taro");
  const std::string mail_lnk = StartupOf("taro") + "\\Mail.lnk";
  f.shell.AddProgram("C:\\Mail\\mail.exe");
  f.shell.AddShortcut(mail_lnk, "C:\\Mail\\mail.exe");
  REQUIRE(DisableStartupEntry(f.context, FolderRow(taro, "Mail", mail_lnk)).changed);

  SUBCASE("the same shortcut back in its place (a crash, or the program wrote it back)") {
    f.shell.AddShortcut(mail_lnk, "C:\\Mail\\mail.exe");
    REQUIRE(EnableStartupEntry(f.context, 0).changed);
    CHECK(f.shell.files.size() == 2);  // mail.exe and Mail.lnk, no "Mail(1).lnk"
    CHECK(f.BoxFile().empty());
    CHECK(f.KeptCount() == 0);
    CHECK(f.prompt.shown().empty());
  }
  SUBCASE("a different shortcut of that name: the user is asked") {
    f.shell.AddProgram("C:\\Other\\other.exe");
    f.shell.AddShortcut(mail_lnk, "C:\\Other\\other.exe");
    f.prompt.AnswerNo();
    CHECK_FALSE(EnableStartupEntry(f.context, 0).changed);
    CHECK(f.prompt.shown().back().text == Told("Mail", msg::kShortcutReplaceQuestion));
    CHECK(f.prompt.shown().back().default_no);
    CHECK(f.shell.ResolveLink(mail_lnk) == "C:\\Other\\other.exe");
    CHECK(f.box.lines.size() == 1);

    f.prompt.AnswerYes();
    REQUIRE(EnableStartupEntry(f.context, 0).changed);
    CHECK(f.shell.ResolveLink(mail_lnk) == "C:\\Mail\\mail.exe");
    CHECK(f.shell.files.size() == 3);
    CHECK(f.box.lines.empty());
  }
  SUBCASE("a line of an older file, its shortcut replaced on request") {
    std::filesystem::remove_all(std::filesystem::u8path(KeptFolderOf(f.box.path)));
    f.shell.AddProgram("C:\\Other\\other.exe");
    f.shell.AddShortcut(mail_lnk, "C:\\Other\\other.exe");
    f.prompt.AnswerYes();
    REQUIRE(EnableStartupEntry(f.context, 0).changed);
    CHECK(f.shell.ResolveLink(mail_lnk) == "C:\\Mail\\mail.exe");
    CHECK(f.shell.files.size() == 3);
  }
  SUBCASE("a Run value written back with the same command") {
    f.box.lines = {"User@Tool=%windir%\\tool.exe"};
    f.SetRun(0, "Tool", StringValue("%windir%\\tool.exe", kRegSz));
    REQUIRE(EnableStartupEntry(f.context, 0).changed);
    CHECK(f.Run(0, "Tool") == StringValue("%windir%\\tool.exe", kRegSz));
    CHECK(f.box.lines.empty());
    CHECK(f.prompt.shown().empty());
  }
}

TEST_CASE("lines that cannot be enabled as they stand") {
  StartupFixture f;
  f.box.lines = LoadLineList(FixturePathOf("fixtures/boxes/hand-edited.txt")).lines;
  REQUIRE(f.box.lines.size() == 8);

  SUBCASE("a zero byte or another control character: shown, told, not enabled") {
    const std::vector<EntryRecord> rows = DisabledBoxRecords(f.box.lines, f.locations);
    for (size_t row : {1u, 2u, 3u}) {
      CAPTURE(row);
      CHECK_FALSE(rows[row].Unrecognised);
      const ActionResult result = EnableStartupEntry(f.context, row);
      CHECK_FALSE(result.changed);
      CHECK(result.message == Told(rows[row].Name, msg::kControlCharacterLine));
    }
    CHECK(f.RunNames(0).empty());
    CHECK(f.RunNames(1).empty());
    CHECK(f.box.lines.size() == 8);
  }
  SUBCASE("a box file that could not be read: every change is refused, the file stays") {
    const std::string bytes = FixtureBytes("fixtures/boxes/damaged-cp932.txt");
    REQUIRE(WriteWholeFileReplacing(f.box.path, bytes));
    f.box.Load(f.prompt);
    REQUIRE(f.box.state == DisabledBoxStore::State::kUnreadable);
    f.SetRun(0, "Tool", "C:\\tool.exe");
    const std::string refused = std::string(kBoxNotLoadedText) + "\n" + f.box.path;
    CHECK(DisableStartupEntry(f.context, RunRow(0, "Tool", "C:\\tool.exe")).message ==
          Told("Tool", refused));
    CHECK(EnableStartupEntry(f.context, 0).message == Told("表", refused));
    CHECK(DeleteDisabledBoxEntry(f.context, 0, false).message == Told("表", refused));
    CHECK(f.Run(0, "Tool"));
    CHECK_FALSE(f.Run(0, "表"));
    CHECK(ReadWholeFile(f.box.path) == bytes);
  }
}

TEST_CASE("Deleting asks the exact question; No changes nothing") {
  StartupFixture f;
  f.SetRun(0, "Tool", "C:\\tool.exe");
  const EntryRecord tool = RunRow(0, "Tool", "C:\\tool.exe");

  SUBCASE("live list") {
    f.prompt.AnswerNo();
    CHECK_FALSE(DeleteStartupEntry(f.context, tool, true).changed);
    REQUIRE(f.prompt.shown().size() == 1);
    const auto& asked = f.prompt.shown()[0];
    CHECK(asked.kind == ScriptedPrompt::Kind::kYesNo);
    CHECK(asked.text == "[Tool]\nこのスタートアップを削除してよろしいですか？");
    CHECK(asked.caption == "削除確認");
    CHECK(asked.icon == PromptIcon::kQuestion);
    CHECK(f.Run(0, "Tool"));

    f.prompt.AnswerYes();
    CHECK(DeleteStartupEntry(f.context, tool, true).changed);
    CHECK_FALSE(f.Run(0, "Tool"));
  }

  SUBCASE("a folder entry's file") {
    const std::string lnk = StartupOf("hanako") + "\\Mail.lnk";
    f.shell.AddShortcut(lnk, "C:\\Mail\\mail.exe");
    CHECK(
        DeleteStartupEntry(f.context, FolderRow(f.Profile("hanako"), "Mail", lnk), false).changed);
    CHECK_FALSE(f.shell.FileExists(lnk));
    CHECK(f.prompt.shown().empty());
  }

  SUBCASE("Disabled Box view: only the line goes") {
    f.box.lines = {"User@Tool=C:\\disabled.exe", "garbage line", "taro=Mail#$#C:\\Mail\\mail.exe"};
    f.prompt.AnswerNo();
    CHECK_FALSE(DeleteDisabledBoxEntry(f.context, 0, true).changed);
    CHECK(f.prompt.shown()[0].text ==
          "[Tool]\n無効ボックスから、このスタートアップを削除してよろしいですか？");
    CHECK(f.prompt.shown()[0].caption == "削除確認");
    CHECK(f.box.lines.size() == 3);

    f.prompt.AnswerYes();
    CHECK(DeleteDisabledBoxEntry(f.context, 0, true).changed);
    CHECK(f.Run(0, "Tool"));  // the live value of the same name is not the one deleted
    CHECK(DeleteDisabledBoxEntry(f.context, 0, false).changed);  // an unreadable line can go
    CHECK(f.box.lines == std::vector<std::string>{"taro=Mail#$#C:\\Mail\\mail.exe"});
    CHECK(f.BoxFile() == f.box.lines);
  }
}

TEST_CASE("Changing kind and location") {
  StartupFixture f;
  f.shell.AddProgram("C:\\Mail\\mail.exe");

  SUBCASE("a user entry moved to the machine RunOnce key") {
    const RegistryValue value = StringValue("\"C:\\Tool\\tool.exe\" -x", kRegSz);
    f.SetRun(0, "Tool", value);
    CHECK(ChangeLocation(f.context, RunRow(0, "Tool", "\"C:\\Tool\\tool.exe\" -x"), 2).changed);
    CHECK(f.Run(2, "Tool") == value);
    CHECK_FALSE(f.Run(0, "Tool"));
  }

  SUBCASE("a write that fails keeps the old place") {
    f.SetRun(0, "Tool", "C:\\tool.exe");
    f.registry.MakeReadOnly(RootKey::kLocalMachine, std::string(kRunKeyLocations[2].path));
    CHECK_FALSE(ChangeLocation(f.context, RunRow(0, "Tool", "C:\\tool.exe"), 2).changed);
    CHECK(f.Run(0, "Tool"));
  }

  SUBCASE("an All Users shortcut becomes a machine Run value, another profile's a user one") {
    const std::string all_lnk = std::string(kCommonStartup) + "\\Mail.lnk";
    const std::string hanako_lnk = StartupOf("hanako") + "\\Mail2.lnk";
    f.shell.AddShortcut(all_lnk, "C:\\Mail\\mail.exe");
    f.shell.AddShortcut(hanako_lnk, "C:\\Mail\\mail.exe");
    CHECK(ChangeKind(f.context, FolderRow(f.locations.all_users_index(), "Mail", all_lnk), 1)
              .changed);
    CHECK(f.Run(1, "Mail") == StringValue("C:\\Mail\\mail.exe"));
    CHECK_FALSE(f.shell.FileExists(all_lnk));
    CHECK(ChangeKind(f.context, FolderRow(f.Profile("hanako"), "Mail2", hanako_lnk), 1).changed);
    CHECK(f.Run(0, "Mail2") == StringValue("C:\\Mail\\mail.exe"));
    CHECK_FALSE(f.shell.FileExists(hanako_lnk));

    // A shortcut that cannot be removed: the value is there, and the user is told so.
    const std::string taro_lnk = StartupOf("taro") + "\\Mail3.lnk";
    f.shell.AddShortcut(taro_lnk, "C:\\Mail\\mail.exe");
    f.shell.undeletable.insert(taro_lnk);
    const ActionResult both =
        ChangeKind(f.context, FolderRow(f.Profile("taro"), "Mail3", taro_lnk), 1);
    CHECK(both.changed);
    CHECK(both.message == Told("Mail3", msg::kOldPlaceKept));
    CHECK(f.Run(0, "Mail3"));
  }

  SUBCASE("a shortcut's arguments go with it; a target with a blank is quoted") {
    const std::string lnk = StartupOf("taro") + "\\Tool.lnk";
    f.shell.AddProgram("C:\\Program Files\\Tool\\tool.exe");
    f.shell.AddShortcut(lnk, "C:\\Program Files\\Tool\\tool.exe");
    f.shell.files[lnk].arguments = "-q \"x y\"";
    REQUIRE(ChangeKind(f.context, FolderRow(f.Profile("taro"), "Tool", lnk), 1).changed);
    CHECK(f.Run(0, "Tool") == StringValue("\"C:\\Program Files\\Tool\\tool.exe\" -q \"x y\""));
  }

  SUBCASE("a Run value that changed since the list was shown is not made a shortcut") {
    f.SetRun(0, "Mail", "C:\\Other\\other.exe");
    f.shell.AddProgram("C:\\Other\\other.exe");
    const ActionResult result = ChangeKind(f.context, RunRow(0, "Mail", "C:\\Mail\\mail.exe"), 0);
    CHECK(result.changed);  // the list is shown afresh
    CHECK(result.message == Told("Mail", msg::kEntryChangedMeanwhile));
    CHECK(f.Run(0, "Mail") == StringValue("C:\\Other\\other.exe"));
    CHECK(f.shell.files.size() == 2);
    CHECK(ChangeKind(f.context, RunRow(0, "Gone", "C:\\Mail\\mail.exe"), 0).message ==
          Told("Gone", msg::kEntryChangedMeanwhile));
  }

  SUBCASE("a RunOnce value becomes an All Users shortcut") {
    f.SetRun(2, "Mail", "C:\\Mail\\mail.exe");
    CHECK(ChangeKind(f.context, RunRow(2, "Mail", "C:\\Mail\\mail.exe"), 0).changed);
    CHECK(f.shell.ResolveLink(std::string(kCommonStartup) + "\\Mail.lnk") == "C:\\Mail\\mail.exe");
    CHECK_FALSE(f.Run(2, "Mail"));
  }

  SUBCASE("a command the shell cannot make a shortcut for stays a value") {
    f.SetRun(0, "Mail", "C:\\Mail\\mail.exe -check");
    const ActionResult result =
        ChangeKind(f.context, RunRow(0, "Mail", "C:\\Mail\\mail.exe -check"), 0);
    CHECK(result.message == Told("Mail", msg::kNoShortcutForCommand));
    CHECK(f.Run(0, "Mail"));
    CHECK(f.shell.files.size() == 1);
  }

  SUBCASE("a command with \"/\" cannot be moved or changed") {
    f.SetRun(0, "Tool", "C:\\Mail\\mail.exe /min");
    const EntryRecord row = RunRow(0, "Tool", "C:\\Mail\\mail.exe /min");
    CHECK_FALSE(ChangeLocation(f.context, row, 1).changed);
    CHECK_FALSE(ChangeKind(f.context, row, 0).changed);
    CHECK(f.RunNames(1).empty());
    CHECK(f.Run(0, "Tool"));
    CHECK(f.prompt.shown().empty());
  }

  SUBCASE("a folder entry moved from taro to hanako") {
    const std::string from = StartupOf("taro") + "\\Mail.lnk";
    f.shell.AddShortcut(from, "C:\\Mail\\mail.exe");
    CHECK(ChangeLocation(f.context, FolderRow(f.Profile("taro"), "Mail", from), f.Profile("hanako"))
              .changed);
    CHECK_FALSE(f.shell.FileExists(from));
    CHECK(f.shell.ResolveLink(StartupOf("hanako") + "\\Mail.lnk") == "C:\\Mail\\mail.exe");
    CHECK_FALSE(f.backup.RunKeysSaved);
  }

  SUBCASE("which choices enable the apply buttons") {
    const EntryRecord user = RunRow(0, "a", "a.exe"), run = RunRow(1, "a", "a.exe"),
                      once = RunRow(2, "a", "a.exe"), folder = FolderRow(1, "a", "C:\\a.lnk");
    auto enabled = [&](const EntryRecord& row) {
      std::vector<int> choices;
      for (int i = -1; i < 10; ++i)
        if (LocationApplyEnabled(row, i, 4)) choices.push_back(i);
      return choices;
    };
    // 3 to 7 are offered by the page only where their keys exist.
    CHECK(enabled(user) == std::vector<int>{1, 2, 3, 4, 5, 6, 7});
    CHECK(enabled(run) == std::vector<int>{0, 2, 3, 4, 5, 6, 7});
    CHECK(enabled(once) == std::vector<int>{0, 1, 3, 4, 5, 6, 7});
    CHECK(enabled(folder) == std::vector<int>{0, 2, 3});
    CHECK(KindApplyEnabled(folder, 1));
    CHECK_FALSE(KindApplyEnabled(folder, 0));
    CHECK(KindApplyEnabled(once, 0));
    CHECK_FALSE(KindApplyEnabled(once, 1));
  }

  SUBCASE("WriteRunValue by location index") {
    CHECK(WriteRunValue(f.registry, "A", StringValue("%SystemRoot%\\a.exe", kRegExpandSz), 1));
    CHECK(f.Run(1, "A") == StringValue("%SystemRoot%\\a.exe", kRegExpandSz));
    CHECK_FALSE(WriteRunValue(f.registry, "C", StringValue("c.exe"), 8));
  }
}

TEST_CASE("The 32-bit Run keys: disabled, enabled, moved and changed like the others") {
  StartupFixture f;
  const RegistryValue value = StringValue("\"C:\\Program Files (x86)\\Helper\\helper.exe\" /tray");
  f.SetRun(3, "Helper", value);
  const EntryRecord row = RunRow(3, "Helper", RunValueText(value));
  CHECK(RunLocationOf(row) == 3);
  CHECK(RunLocationOf(RunRow(4, "Fix", "x")) == 4);

  SUBCASE("disabled into a Machine32@ line and enabled back byte for byte") {
    CHECK(DisableStartupEntry(f.context, row).changed);
    CHECK_FALSE(f.Run(3, "Helper"));
    CHECK(f.BoxFile() == std::vector<std::string>{"Machine32@Helper=" + row.Command});
    CHECK(EnableStartupEntry(f.context, 0).changed);
    CHECK(f.Run(3, "Helper") == value);
    CHECK_FALSE(f.Run(1, "Helper"));
    CHECK(f.BoxFile().empty());
  }

  SUBCASE("a RunOnce32 line made again without a kept original goes to its own key") {
    f.box.Commit({"MachineOnce32@Fix=C:\\Fix\\fix.exe"});
    CHECK(EnableStartupEntry(f.context, 0).changed);
    CHECK(f.Run(4, "Fix") == StringValue("C:\\Fix\\fix.exe"));
    CHECK_FALSE(f.Run(2, "Fix"));
  }

  SUBCASE("moved to the user's key and back to location 3, type and bytes") {
    const RegistryValue plain = StringValue("\"C:\\Program Files (x86)\\表\\helper.exe\"", kRegExpandSz);
    f.SetRun(3, "Plain", plain);
    const EntryRecord moved = RunRow(3, "Plain", RunValueText(plain));
    CHECK(LocationApplyEnabled(moved, 0, 4));
    CHECK_FALSE(LocationApplyEnabled(moved, 3, 4));
    CHECK(ChangeLocation(f.context, moved, 0).changed);
    CHECK(f.Run(0, "Plain") == plain);
    CHECK_FALSE(f.Run(3, "Plain"));
    CHECK(ChangeLocation(f.context, RunRow(0, "Plain", moved.Command), 3).changed);
    CHECK(f.Run(3, "Plain") == plain);
    CHECK_FALSE(f.Run(0, "Plain"));
  }

  SUBCASE("deleted, and a plain command changed into an All Users shortcut") {
    f.shell.AddProgram("C:\\Fix\\fix.exe");
    f.SetRun(4, "Fix", "C:\\Fix\\fix.exe");
    CHECK(ChangeKind(f.context, RunRow(4, "Fix", "C:\\Fix\\fix.exe"), 0).changed);
    CHECK(f.shell.FileExists(std::string(kCommonStartup) + "\\Fix.lnk"));
    CHECK_FALSE(f.Run(4, "Fix"));
    CHECK(DeleteStartupEntry(f.context, row, false).changed);
    CHECK_FALSE(f.Run(3, "Helper"));
  }
}

TEST_CASE("the user's RunOnce key and the policy Run keys: disabled and enabled back byte for byte") {
  for (int location = kFixedRunLocations + 2; location < static_cast<int>(kRunKeyLocations.size()); ++location) {
    CAPTURE(location);
    StartupFixture f;
    f.SetRun(location, "Agent", StringValue("%ProgramFiles%\\Agent\\agent.exe /q", kRegExpandSz));
    const RegistryValue before = *f.Run(location, "Agent");
    CHECK(DisableStartupEntry(f.context, RunRow(location, "Agent", "%ProgramFiles%\\Agent\\agent.exe /q")).changed);
    CHECK_FALSE(f.Run(location, "Agent"));
    REQUIRE(f.box.lines.size() == 1);
    CHECK(RunLocationOf(DisabledBoxRecords(f.box.lines, f.locations)[0]) == location);
    CHECK(EnableStartupEntry(f.context, 0).changed);
    CHECK(f.Run(location, "Agent") == before);
    CHECK(f.box.lines.empty());
  }
}
