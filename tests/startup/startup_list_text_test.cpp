// The startup list as saved text.
#include <doctest.h>

#include "startup/startup_list_text.h"

#include "startup_test_support.h"

using namespace orvela;

TEST_CASE("a saved startup row says one state: the one its row shows") {
  EntryRecord off;
  off.Key = kMachineKey;
  off.Kind = "Run32";
  off.Name = "更新チェック";
  off.WindowsDisabled = true;
  off.ReadOnly = true;
  EntryRecord on = off;
  on.WindowsDisabled = false;
  const ProfileLocations locations = testing::TestLocations();
  const std::vector<CsvRow> live = StartupCsvRows({off, on}, locations, true);
  CHECK(live[0].back() == "Windows で無効 （32ビット） 読み取り専用");
  CHECK(live[1].back() == "有効 （32ビット） 読み取り専用");
  CHECK(StartupCsvRows({on}, locations, false)[0].back() == "無効 （32ビット） 読み取り専用");
}
