// Feeds arbitrary bytes to the Disabled Box readers as a whole file. Every line gives one
// record (nothing is dropped), an unrecognised one keeps the line whole, and a line that
// the writers accept back from its record is the line itself.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "system/locations.h"
#include "system/settings.h"
#include "platform/ansi_codec.h"
#include "platform/plain_text.h"
#include "disabled_box/disabled_box.h"

namespace {

using namespace orvela;

const ProfileLocations& Locations() {
  static const ProfileLocations locations = [] {
    ShellFolderPaths shell;
    shell.user_name = "taro";
    shell.profile = "C:\\Users\\taro";
    shell.startup = "C:\\Users\\taro\\Start Menu\\Programs\\Startup";
    ProfileLocations made = ProfileLocations::FromShell(shell);
    made.SetProfiles({"taro", "hanako"});
    return made;
  }();
  return locations;
}

void Check(bool condition) {
  if (!condition) std::abort();
}

std::string_view ValuePart(std::string_view line) { return line.substr(line.find('=') + 1); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto text = DecodeFileText(bytes);
  if (!text) return 0;
  const std::vector<std::string> lines = SplitLinesAtAnyBreak(*text);
  const std::vector<EntryRecord> records = DisabledBoxRecords(lines, Locations());
  Check(records.size() == lines.size());
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    const EntryRecord& record = records[i];
    if (record.Unrecognised) {
      Check(record.Command == line);
    } else if (IsRegistryEntry(record)) {
      const auto written = RegistryEntryLine(record, Locations());
      Check(!written || *written == line);
    } else if (IsTaskEntry(record)) {
      const auto written = TaskEntryLine(record, Locations());
      Check(!written || *written == line);
    } else {
      Check(record.Key >= 0 && record.Key < static_cast<int32_t>(Locations().profiles().size()));
      const auto written = FolderEntryLine(Locations(), record.Key, record.Name, record.Command,
                                           record.ItemIdForm);
      // The key part may be spelled in another case; the rest must be the same.
      Check(!written || ValuePart(*written) == ValuePart(line));
    }
    if (const auto sendto = ParseSendToLine(line)) {
      const auto written = FormatSendToLine(*sendto);
      Check(!written || *written == line);
    }
  }
  return 0;
}
