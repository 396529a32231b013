#include <doctest.h>

#include "platform/ansi_codec.h"
#include "platform/file_io.h"
#include "platform/memory_registry.h"
#include "platform/scripted_prompt.h"
#include "regfile/regfile_test_support.h"
#include "settings/settings_backup.h"
#include "settings/settings_test_support.h"
#include "settings/tuning_seed.h"
#include "settings/tuning_values.h"

using namespace orvela;
using namespace orvela::testing;
using namespace std::string_literals;

TEST_CASE("typed entries give a value back exactly, or there is no entry") {
  const std::pair<RegistryValue, const char*> recordable[] = {
      {TextValue("400"), "1400"},
      {TextValue("  trailing blanks kept  "), "1  trailing blanks kept  "},
      {TextValue("%SystemRoot%\\x", kRegExpandSz), "2%SystemRoot%\\x"},
      {DwordValue(0), "30"},
      {DwordValue(0xFFFFFFFF), "3-1"},
      {RegistryValue{kRegBinary, {0x1B, 0, 0, 0}}, "427"},
      {RegistryValue{kRegBinary, {0, 0, 0, 0x80}}, "4-2147483648"},
  };
  for (const auto& [value, entry] : recordable) {
    CHECK(ReadTypedValue(value) == std::string(entry));
    const TypedValue back = WriteTypedValue(entry);
    CHECK(back.understood);
    CHECK(back.value == value);
  }
  CHECK(ReadTypedValue(std::nullopt) == "0");
  CHECK(WriteTypedValue("0").understood);
  CHECK_FALSE(WriteTypedValue("0").value);
  CHECK(WriteTypedValue("34294967295").value == DwordValue(0xFFFFFFFF));

  // The restore could not give these back as they were: no entry, so nothing is changed.
  const RegistryValue unrecordable[] = {
      {kRegQword, {1, 0, 0, 0, 0, 0, 0, 0}}, {kRegMultiSz, {'a', 0, 0, 0, 0, 0}}, {kRegBinary, {1, 2, 3}},
      {kRegDword, {1, 2}}, TextValue("two\r\nlines"), {kRegSz, {'a', 0}} /* no terminator */,
      {kRegSz, {'a', 0, 0, 0, 'b', 0, 0, 0}} /* NUL inside */};
  for (const RegistryValue& value : unrecordable) CHECK_FALSE(ReadTypedValue(value));
  for (const char* entry : {"", "0x", "3", "3abc", "34294967296", "4-2147483649", "5x", "x1"})
    CHECK_MESSAGE(!WriteTypedValue(entry).understood, entry);
}

TEST_CASE("backup text: read as the profile functions read it, added to without touching other lines") {
  BackupText file(
      "; kept\r\n"
      "stray=before any section\r\n"
      "[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n"
      "MenuShowDelay=1400\r\n"
      "menushowdelay=1999\r\n"
      "Wallpaper=1a  \r\n"
      "\r\n"
      "[Other]\r\n"
      "x=1\r\n");
  CHECK(file.Find("hkey_current_user\\control panel\\desktop", "MENUSHOWDELAY") == "1400");  // the first counts
  CHECK(file.Find("HKEY_CURRENT_USER\\Control Panel\\Desktop", "Wallpaper") == "1a  ");
  CHECK_FALSE(file.Find("HKEY_CURRENT_USER\\Control Panel\\Desktop", "stray"));
  file.Add("HKEY_CURRENT_USER\\Control Panel\\Desktop", "AutoEndTasks", "10");
  file.Add("HKEY_LOCAL_MACHINE\\SYSTEM\\x", "IRPStackSize", "315");
  CHECK(file.text() ==
        "; kept\r\n"
        "stray=before any section\r\n"
        "[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n"
        "MenuShowDelay=1400\r\n"
        "menushowdelay=1999\r\n"
        "Wallpaper=1a  \r\n"
        "AutoEndTasks=10\r\n"
        "\r\n"
        "[Other]\r\n"
        "x=1\r\n"
        "\r\n"
        "[HKEY_LOCAL_MACHINE\\SYSTEM\\x]\r\n"
        "IRPStackSize=315\r\n");
  CHECK(BackupText(file.text()).Sections().size() == 3);
}

TEST_CASE("a backup file reads whole only when nothing of it was cut: its count, or whole lines in earlier files") {
  const std::string earlier =
      "[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\nMenuShowDelay=1400\r\nHungAppTimeout=15000\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\SYSTEM\\x]\r\n; a comment\r\nIRPStackSize=315\r\n";
  CHECK(BackupTextReadsWhole(earlier));
  for (const std::string& damaged : {earlier.substr(0, earlier.size() - 2), earlier + "stray text\r\n", earlier + "[Section\r\n",
                                     earlier + "A=1\0\r\n"s, "A=1\r\n" + earlier, ""s})
    CHECK_FALSE(BackupTextReadsWhole(damaged));

  BackupText file(earlier);
  file.SetEntryCount();
  file.SetEntryCount();
  const std::string counted = file.text();
  CHECK(counted.starts_with("[Orvela]\r\nEntries=3\r\n\r\n[HKEY_CURRENT_USER"));
  for (size_t end = counted.find('\n'); end + 1 < counted.size(); end = counted.find('\n', end + 1))
    CHECK_FALSE(BackupTextReadsWhole(counted.substr(0, end + 1)));
  // An entry added by an earlier version leaves the count behind: still whole.
  CHECK(BackupTextReadsWhole(counted + "MinAnimate=1200\r\n"));
}

TEST_CASE("BackupValue writes the file in the code page, or as UTF-8 when the text does not fit") {
  TempFolder folder;
  const std::string path = folder.File("windata.ini");
  MemoryRegistry backend;
  Put(backend, RootKey::kCurrentUser, kDesktopKey, "Wallpaper", TextValue("C:\\表\\a.bmp"));
  Put(backend, RootKey::kCurrentUser, kDesktopKey, "Pattern", TextValue("café"));
  TRegistry registry(backend);
  registry.SetRootKey(RootKey::kCurrentUser);
  REQUIRE(registry.OpenKey(kDesktopKey, false));

  CHECK(BackupValue(registry, path, "Wallpaper") == BackupOutcome::kRecorded);
  CHECK(ReadWholeFile(path) ==
        "[Orvela]\r\nEntries=1\r\n\r\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\nWallpaper=1C:\\\x95\x5C\\a.bmp\r\n");
  CHECK(BackupValue(registry, path, "Pattern") == BackupOutcome::kRecorded);
  CHECK(ReadWholeFile(path)->starts_with(kUtf8Bom));
  const BackupFile file = ReadBackupFile(path);
  CHECK(file.state == BackupFileState::kWhole);
  CHECK(file.text.Find("HKEY_CURRENT_USER\\Control Panel\\Desktop", "Pattern") == "1café");
  CHECK(BackupValue(registry, path, "Pattern") == BackupOutcome::kAlreadyRecorded);
}

TEST_CASE("a value is not written when its first state cannot be recorded") {
  TempFolder folder;
  const std::string path = folder.File("windata.ini");
  RefusingRegistry backend;
  const RegistryValue quad{kRegQword, {0x90, 1, 0, 0, 0, 0, 0, 0}};
  Put(backend, RootKey::kCurrentUser, kDesktopKey, "MenuShowDelay", quad);
  TRegistry registry(backend);
  SettingsWriter writer(registry, path);
  REQUIRE(writer.OpenKey(RootKey::kCurrentUser, kDesktopKey));

  SUBCASE("a type the entry has no digit for") {
    // Recorded as absent, the restore would delete it; so it is left as it is.
    CHECK_FALSE(writer.WriteString("MenuShowDelay", "100"));
    CHECK(writer.error() ==
          "「HKEY_CURRENT_USER\\Control Panel\\Desktop」の「MenuShowDelay」は、今の値を元に戻せる形で記録できないため、"
          "書き換えませんでした。");
    CHECK_FALSE(ReadFileIfPresent(path).status == FileRead::Status::kRead);
  }
  SUBCASE("a value that cannot be read, in a key whose names cannot be listed") {
    Put(backend, RootKey::kCurrentUser, kDesktopKey, "HungAppTimeout", TextValue("5000"));
    backend.unreadable = true;
    CHECK_FALSE(writer.WriteString("HungAppTimeout", "100"));
    backend.unreadable = false;
    CHECK(Get(backend, RootKey::kCurrentUser, kDesktopKey, "HungAppTimeout") == TextValue("5000"));
    CHECK(ReadFileIfPresent(path).status == FileRead::Status::kMissing);
  }
  SUBCASE("a backup file that is no text, or cut, is neither trusted nor written over") {
    const std::pair<std::string, std::string> files[] = {
        {"[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\nA=1\x81\r\n", "data\\windata.ini を読み込めないため"},
        {"[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\nA=1C:\\Program Fi", "data\\windata.ini が途中で切れているか"}};
    for (const auto& [damaged, told] : files) {
      REQUIRE(WriteWholeFileReplacing(path, damaged));
      CHECK_FALSE(writer.WriteInteger("MenuShowDelay", 100));
      CHECK(writer.error().starts_with(told));
      CHECK(ReadWholeFile(path) == damaged);
    }
  }
  CHECK(Get(backend, RootKey::kCurrentUser, kDesktopKey, "MenuShowDelay") == quad);
  CHECK_FALSE(writer.recorded());
}

TEST_CASE("restore: empty strings come back empty, what cannot be put back is told and the file kept") {
  TempFolder folder;
  const std::string path = folder.File("windata.ini");
  RefusingRegistry backend;
  ScriptedPrompt prompt;
  RecordingRestart restart;
  int refills = 0;
  const RootKey cu = RootKey::kCurrentUser;
  Put(backend, cu, kDesktopKey, "MenuShowDelay", TextValue("0"));
  Put(backend, cu, kDesktopKey, "HungAppTimeout", TextValue("x", kRegExpandSz));
  Put(backend, cu, kDesktopKey, "AutoEndTasks", TextValue("1"));
  Put(backend, cu, kDesktopKey, "Wallpaper", TextValue("C:\\a.bmp"));
  TRegistry registry(backend);
  auto restore = [&](bool restart_answer) {
    prompt.AnswerYes();  // restore
    if (restart_answer) prompt.AnswerYes(); else prompt.AnswerNo();
    return RestoreSettings(registry, prompt, path, TuningScope(), [&] { ++refills; }, restart);
  };
  const std::string desktop = "[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\nMenuShowDelay=1400\r\n";

  SUBCASE("every value back: the file goes, the restart is offered") {
    REQUIRE(WriteWholeFileReplacing(path,
                                    "[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n"
                                    "MenuShowDelay=1\r\nHungAppTimeout=2\r\nAutoEndTasks=0\r\n"
                                    "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer]\r\n"
                                    "NoResolveTrack=0\r\n"));
    CHECK_FALSE(restore(false));
    CHECK(Get(backend, cu, kDesktopKey, "MenuShowDelay") == TextValue(""));
    CHECK(Get(backend, cu, kDesktopKey, "HungAppTimeout") == TextValue("", kRegExpandSz));
    CHECK_FALSE(Get(backend, cu, kDesktopKey, "AutoEndTasks"));
    CHECK(ReadFileIfPresent(path).status == FileRead::Status::kMissing);
    CHECK(prompt.shown().back().text == kRestartQuestion);
    CHECK(prompt.messages().empty());
  }
  SUBCASE("a refused write is told, the rest comes back, the file stays") {
    backend.refused = {"AutoEndTasks"};
    const std::string text = desktop + "AutoEndTasks=10\r\n";
    REQUIRE(WriteWholeFileReplacing(path, text));
    CHECK(restore(true));
    CHECK(Get(backend, cu, kDesktopKey, "MenuShowDelay") == TextValue("400"));
    CHECK(ReadWholeFile(path) == text);
    REQUIRE(prompt.messages().size() == 1);
    CHECK(prompt.messages()[0].find("「HKEY_CURRENT_USER\\Control Panel\\Desktop」の「AutoEndTasks」: 書き込めませんでした。") !=
          std::string::npos);
    CHECK(prompt.shown().back().kind == ScriptedPrompt::Kind::kMessage);  // no restart question
  }
  SUBCASE("a value the page does not record, an entry of no form or a cut file: nothing written, file kept") {
    const std::pair<std::string, std::string> files[] = {
        {desktop + "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]\r\nX=1C:\\x.exe\r\n",
         "「HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run」の「X」: このページが記録する値ではありません。"},
        {desktop + "Wallpaper=0\r\n", "の「Wallpaper」: このページが記録する値ではありません。"},
        {desktop + "[HKEY_NOWHERE\\x]\r\nY=0\r\n", "「HKEY_NOWHERE\\x」の「Y」"},
        {desktop + "HungAppTimeout=9x\r\n", "の「HungAppTimeout」: 記録「9x」の形式が分かりません。"},
        {desktop + "HungAppTimeout=1C:\\Program Fi", "途中で切れているか壊れている"}};
    for (const auto& [text, told] : files) {
      REQUIRE(WriteWholeFileReplacing(path, text));
      prompt.AnswerYes();
      CHECK(RestoreSettings(registry, prompt, path, TuningScope(), [&] { ++refills; }, restart));
      CHECK(Get(backend, cu, kDesktopKey, "MenuShowDelay") == TextValue("0"));
      CHECK(Get(backend, cu, kDesktopKey, "Wallpaper") == TextValue("C:\\a.bmp"));
      CHECK(ReadWholeFile(path) == text);
      CHECK_MESSAGE(prompt.messages().back().find(told) != std::string::npos, prompt.messages().back());
    }
    CHECK(prompt.shown().back().kind == ScriptedPrompt::Kind::kMessage);
    CHECK(refills == 0);
  }
  SUBCASE("No to the first question changes nothing") {
    REQUIRE(WriteWholeFileReplacing(path, desktop));
    prompt.AnswerNo();
    CHECK(RestoreSettings(registry, prompt, path, TuningScope(), [&] { ++refills; }, restart));
    CHECK(Get(backend, cu, kDesktopKey, "MenuShowDelay") == TextValue("0"));
    CHECK(refills == 0);
  }
  CHECK(restart.restarts == 0);
}
