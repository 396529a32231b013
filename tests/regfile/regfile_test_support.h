// Shared by the registry file tests: a throw-away folder and the golden files, which are
// complete files as the program writes them, kept here byte for byte (code page 932).
#pragma once
#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include "fixture_files.h"
#include "platform/file_io.h"
#include "regfile/registry_accessor.h"

namespace orvela::testing {

class TempFolder {
 public:
  TempFolder() {
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    path_ = std::filesystem::temp_directory_path() / ("orvela-regfile-" + std::to_string(stamp));
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // A file in the folder, as the UTF-8 path the program takes.
  std::string File(std::string_view name) const {
    const std::u8string path = (path_ / std::filesystem::path(std::u8string(
                                            reinterpret_cast<const char8_t*>(name.data()), name.size())))
                                   .u8string();
    return std::string(path.begin(), path.end());
  }

 private:
  std::filesystem::path path_;
};

// Two keys, one with a subkey: every entry form. Strings the "..." form cannot give back
// (blanks at an end, line breaks, a NUL inside), expandable strings and the types without
// a form of their own are hex(N) lines of their raw bytes; a default value may be any type.
inline constexpr std::string_view kGoldenAllTypes =
    "\x82\x75\x81\x95\x82\x6B Registry Text Data Version 1.1\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\Orvela Test\\Run]\r\n"
    "@=\"\x8A\xF9\x92\xE8\x92\x6C\"\r\n"
    "\"Editor\"=\"\\\"C:\\\\Program Files\\\\A\\\\edit.exe\\\" /q\"\r\n"
    "\"Padded\"=hex(1):20,00,78,00,20,00,00,00\r\n"
    "\"Path\"=hex(2):25,00,41,00,25,00,5C,00,62,\r\n"
    "00,00,00\r\n"
    "\"Count\"=dword:0000001A\r\n"
    "\"Minus\"=dword:FFFFFFFF\r\n"
    "\"Multi\"=hex(7):61,00,00,00,00,00\r\n"
    "\"Quad\"=hex(b):01,02,03,04,05,06,07,08\r\n"
    "\"Nothing\"=hex(0):\r\n"
    "\"Zero\"=hex(1):61,00,00,00,62,00,00,00\r\n"
    "\"Twenty\"=hex:00,01,02,03,04,05,06,07,08,\r\n"
    "09,0A,0B,0C,0D,0E,0F,10,\r\n"
    "11,12,13\r\n"
    "\"Nine\"=hex:A0,A1,A2,A3,A4,A5,A6,A7,A8\r\n"
    "\r\n"
    "\"None\"=hex:\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\Orvela Test\\Run\\Sub]\r\n"
    "@=dword:00000005\r\n"
    "\"x\"=\"y\"\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\Software\\Orvela Test\\Keys]\r\n"
    "\"Lines\"=hex(1):6F,00,6E,00,65,00,0D,00,0A,\r\n"
    "00,74,00,77,00,6F,00,0D,\r\n"
    "00,0A,00,00,00\r\n";

// The character 表 (0x95 0x5C) in a key path, a value name and a value: its trail byte is
// no backslash, so it is neither doubled nor taken as a separator.
inline constexpr std::string_view kGoldenHyou =
    "\x82\x75\x81\x95\x82\x6B Registry Text Data Version 1.1\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\\x95\x5C]\r\n"
    "@=\"\x95\x5C\"\r\n"
    "\"\x95\x5C\"=\"C:\\\\\x95\x5C\\\\x\"\r\n";

// A text code page 932 cannot hold: the whole file is UTF-8 behind a byte-order mark.
inline constexpr std::string_view kGoldenUtf8 =
    "\xEF\xBB\xBF"
    "\xEF\xBC\xB6\xEF\xBC\x86\xEF\xBC\xAC Registry Text Data Version 1.1\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\Orvela Test]\r\n"
    "\"\xED\x95\x9C\"=\"\xED\x95\x9C\xEA\xB5\xAD\xEC\x96\xB4 \xE8\xA1\xA8\"\r\n";

// Registry contents the golden files were written from.
inline void FillAllTypes(TRegistry& reg) {
  reg.SetRootKey(RootKey::kCurrentUser);
  reg.OpenKey("\\Software\\Orvela Test\\Run", true);
  reg.WriteString("", "既定値");
  reg.WriteString("Editor", "\"C:\\Program Files\\A\\edit.exe\" /q");
  reg.WriteString("Padded", " x ");
  reg.WriteExpandString("Path", "%A%\\b");
  reg.WriteInteger("Count", 26);
  reg.WriteInteger("Minus", static_cast<std::uint32_t>(-1));
  reg.WriteValue("Multi", {kRegMultiSz, {'a', 0, 0, 0, 0, 0}});
  reg.WriteValue("Quad", {kRegQword, {1, 2, 3, 4, 5, 6, 7, 8}});
  reg.WriteValue("Nothing", {kRegNone, {}});
  reg.WriteValue("Zero", {kRegSz, {'a', 0, 0, 0, 'b', 0, 0, 0}});
  std::vector<std::uint8_t> twenty, nine;
  for (std::uint8_t i = 0; i < 20; ++i) twenty.push_back(i);
  for (std::uint8_t i = 0; i < 9; ++i) nine.push_back(static_cast<std::uint8_t>(0xA0 + i));
  reg.WriteBinaryData("Twenty", twenty);
  reg.WriteBinaryData("Nine", nine);
  reg.WriteBinaryData("None", {});
  reg.OpenKey("\\Software\\Orvela Test\\Run\\Sub", true);
  reg.WriteInteger("", 5);
  reg.WriteString("x", "y");
  reg.SetRootKey(RootKey::kLocalMachine);
  reg.OpenKey("\\Software\\Orvela Test\\Keys", true);
  reg.WriteString("Lines", "one\r\ntwo\r\n");
  reg.CloseKey();
}

inline void FillHyou(TRegistry& reg) {
  reg.SetRootKey(RootKey::kCurrentUser);
  reg.OpenKey("\\Software\\表", true);
  reg.WriteString("", "表");
  reg.WriteString("表", "C:\\表\\x");
  reg.CloseKey();
}

inline void FillUtf8(TRegistry& reg) {
  reg.SetRootKey(RootKey::kCurrentUser);
  reg.OpenKey("\\Software\\Orvela Test", true);
  reg.WriteString("한", "한국어 表");
  reg.CloseKey();
}

}  // namespace orvela::testing
