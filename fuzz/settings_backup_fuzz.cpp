// Feeds arbitrary text to the reader of "data\windata.ini". What it reads survives being
// written back and read again, an added entry is found where it was put, and every entry the
// restore understands gives a value whose own entry reads back as that same value; a file
// cut at a line's end is told from a whole one.
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

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

std::vector<orvela::BackupText::Section> WithEntries(std::string_view text) {
  std::vector<orvela::BackupText::Section> sections = orvela::BackupText(text).Sections();
  std::erase_if(sections, [](const auto& section) { return section.entries.empty(); });
  return sections;
}

// A text that reads whole, with an entry added and counted, still does; cut at a line's
// end, it no longer does unless no entry was lost.
void CheckCuts(std::string_view text) {
  using orvela::BackupText;
  BackupText file(text);
  file.Add("HKEY_CURRENT_USER\\Control Panel\\Desktop", "MinAnimate", "1200");
  file.SetEntryCount();
  const std::string counted = file.text();
  Check(orvela::BackupTextReadsWhole(counted));
  for (size_t end = counted.find('\n'); end + 1 < counted.size(); end = counted.find('\n', end + 1)) {
    const std::string_view cut = std::string_view(counted).substr(0, end + 1);
    Check(!orvela::BackupTextReadsWhole(cut) || SameSections(WithEntries(cut), WithEntries(counted)));
  }
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
  if (BackupTextReadsWhole(text)) CheckCuts(text);
  return 0;
}
