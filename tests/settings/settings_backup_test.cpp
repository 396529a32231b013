#include <doctest.h>

#include "platform/ansi_codec.h"
#include "platform/file_io.h"
#include "platform/memory_registry.h"
#include "platform/scripted_prompt.h"
#include "regfile/regfile_test_support.h"
#include "settings/settings_backup.h"
#include "settings/settings_test_support.h"
#include "settings/tuning_seed.h"

using namespace orvela;
using namespace orvela::testing;

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
  CHECK(ReadWholeFile(path) == "[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\nWallpaper=1C:\\\x95\x5C\\a.bmp\r\n");
  CHECK(BackupValue(registry, path, "Pattern") == BackupOutcome::kRecorded);
  CHECK(ReadWholeFile(path)->starts_with(kUtf8Bom));
  CHECK(LoadBackupText(path)->Find("HKEY_CURRENT_USER\\Control Panel\\Desktop", "Pattern") == "1café");
  CHECK(BackupValue(registry, path, "Pattern") == BackupOutcome::kAlreadyRecorded);
}

TEST_CASE("a value is not written when its first state cannot be recorded") {
  TempFolder folder;
  const std::string path = folder.File("windata.ini");
  MemoryRegistry backend;
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
  SUBCASE("a backup file that is no text is neither trusted nor written over") {
    const std::string damaged = "[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\nA=1\x81\r\n";
    REQUIRE(WriteWholeFileReplacing(path, damaged));
    CHECK_FALSE(writer.WriteInteger("MenuShowDelay", 100));
    CHECK(writer.error().starts_with("data\\windata.ini を読み込めないため"));
    CHECK(ReadWholeFile(path) == damaged);
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
  Put(backend, cu, kDesktopKey, "Wallpaper", TextValue("C:\\a.bmp"));
  Put(backend, cu, kDesktopKey, "Pattern", TextValue("x", kRegExpandSz));
  Put(backend, cu, kDesktopKey, "Added", TextValue("later"));
  Put(backend, cu, kDesktopKey, "MenuShowDelay", TextValue("0"));
  TRegistry registry(backend);
  auto restore = [&](bool restart_answer) {
    prompt.AnswerYes();  // restore
    if (restart_answer) prompt.AnswerYes(); else prompt.AnswerNo();
    return RestoreSettings(registry, prompt, path, [&] { ++refills; }, restart);
  };

  SUBCASE("every value back: the file goes, the restart is offered") {
    REQUIRE(WriteWholeFileReplacing(path,
                                    "[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n"
                                    "Wallpaper=1\r\nPattern=2\r\nAdded=0\r\n"
                                    "[HKEY_CURRENT_USER\\Software\\Gone Key]\r\nX=0\r\n"));
    CHECK_FALSE(restore(false));
    CHECK(Get(backend, cu, kDesktopKey, "Wallpaper") == TextValue(""));
    CHECK(Get(backend, cu, kDesktopKey, "Pattern") == TextValue("", kRegExpandSz));
    CHECK_FALSE(Get(backend, cu, kDesktopKey, "Added"));
    CHECK(ReadFileIfPresent(path).status == FileRead::Status::kMissing);
    CHECK(prompt.shown().back().text == kRestartQuestion);
    CHECK(prompt.messages().empty());
  }
  SUBCASE("a refused write, an unknown root and an entry of no form are told; the rest comes back") {
    backend.refused = {"Wallpaper"};
    const std::string text =
        "[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n"
        "Wallpaper=1C:\\b.bmp\r\nMenuShowDelay=1400\r\nPattern=9x\r\n"
        "[HKEY_NOWHERE\\x]\r\nY=0\r\n";
    REQUIRE(WriteWholeFileReplacing(path, text));
    CHECK(restore(true));
    CHECK(Get(backend, cu, kDesktopKey, "MenuShowDelay") == TextValue("400"));
    CHECK(Get(backend, cu, kDesktopKey, "Wallpaper") == TextValue("C:\\a.bmp"));
    CHECK(ReadWholeFile(path) == text);
    REQUIRE(prompt.messages().size() == 1);
    const std::string told = prompt.messages()[0];
    CHECK(told.find("「HKEY_CURRENT_USER\\Control Panel\\Desktop」の「Wallpaper」: 書き込めませんでした。") != std::string::npos);
    CHECK(told.find("「Pattern」: 記録「9x」の形式が分かりません。") != std::string::npos);
    CHECK(told.find("「HKEY_NOWHERE\\x」: ルート キーの名前が分かりません。") != std::string::npos);
    CHECK(prompt.shown().back().kind == ScriptedPrompt::Kind::kMessage);  // no restart question
  }
  SUBCASE("No to the first question changes nothing") {
    REQUIRE(WriteWholeFileReplacing(path, "[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\nMenuShowDelay=1400\r\n"));
    prompt.AnswerNo();
    CHECK(RestoreSettings(registry, prompt, path, [&] { ++refills; }, restart));
    CHECK(Get(backend, cu, kDesktopKey, "MenuShowDelay") == TextValue("0"));
    CHECK(refills == 0);
  }
  CHECK(restart.restarts == 0);
}
