// Feeds arbitrary text to the reader of "data\windata.ini". What it reads survives being
// written back and read again, an added entry is found where it was put, and every entry the
// restore understands gives a value whose own entry reads back as that same value.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "settings/settings_backup.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

bool SameSections(const std::vector<orvela::BackupText::Section>& a, const std::vector<orvela::BackupText::Section>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].name != b[i].name || a[i].entries.size() != b[i].entries.size()) return false;
    for (size_t j = 0; j < a[i].entries.size(); ++j)
      if (a[i].entries[j].name != b[i].entries[j].name || a[i].entries[j].entry != b[i].entries[j].entry) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orvela;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  BackupText file(text);
  const std::vector<BackupText::Section> sections = file.Sections();
  Check(SameSections(BackupText(file.text()).Sections(), sections));
  for (const BackupText::Section& section : sections) {
    for (const BackupText::Entry& entry : section.entries) {
      const TypedValue typed = WriteTypedValue(entry.entry);
      if (!typed.understood || !typed.value) continue;
      // A string read back from the registry ends at its first NUL or line break: only
      // those that hold none must come back whole.
      const std::optional<std::string> again = ReadTypedValue(typed.value);
      if (entry.entry.find_first_of(std::string_view("\0\r\n", 3)) == std::string::npos) {
        Check(again.has_value());
        Check(WriteTypedValue(*again).value == typed.value);
      }
    }
  }
  const std::string section = "HKEY_CURRENT_USER\\Control Panel\\Desktop";
  if (!file.Find(section, "MenuShowDelay")) {
    file.Add(section, "MenuShowDelay", "1400");
    Check(BackupText(file.text()).Find(section, "MenuShowDelay") == "1400");
  }
  // A file that reads whole still does with its entries counted.
  if (BackupTextReadsWhole(text)) {
    file.SetEntryCount();
    Check(BackupTextReadsWhole(file.text()));
  }
  return 0;
}
