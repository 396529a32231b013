// The state sort's look-up of many known targets, on real files of the test prefix.
#include <doctest.h>

#include "recent/recent_shell_win.h"

#include <filesystem>

#include "platform/wide_win.h"
#include "test_files_win.h"

using namespace orvela;
using namespace orvela::testing;

TEST_CASE("targets in one folder, listed once: names in any case, short names, folders, paths elsewhere") {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::string root = Narrow(temp) + "orvela-targets", folder = root + "\\Docs";
  std::filesystem::remove_all(std::filesystem::path(Wide(root)));
  std::filesystem::create_directories(std::filesystem::path(Wide(folder + "\\sub")));
  for (const char* name : {"a.txt", "Ünï.txt", "a long name of a file.txt"}) WriteFile(folder + "\\" + name);
  WriteFile(root + "\\elsewhere.txt");
  wchar_t short_name[MAX_PATH] = {};
  GetShortPathNameW(Wide(folder + "\\a long name of a file.txt").c_str(), short_name, MAX_PATH);
  SetEnvironmentVariableW(L"ORVELA_TARGETS", Wide(folder).c_str());

  const std::vector<std::string> targets = {folder + "\\A.TXT",           folder + "\\üNÏ.TXT",
                                            folder + "\\missing.txt",     folder + "\\sub",
                                            root + "\\Docs\\..\\Docs\\a.txt", "%ORVELA_TARGETS%\\a.txt",
                                            Narrow(short_name),           root + "\\elsewhere.txt",
                                            root + "\\gone.txt"};
  const std::vector<LinkState> expected = {LinkState::kWorks, LinkState::kWorks, LinkState::kBroken,
                                           LinkState::kWorks, LinkState::kWorks, LinkState::kWorks,
                                           LinkState::kWorks, LinkState::kWorks, LinkState::kBroken};
  CHECK(TargetStateMarks(targets, true) == expected);
  CHECK(TargetStateMarks(targets, false) == expected);
  // A folder that is not there holds none of them.
  CHECK(TargetStateMarks({root + "\\none\\a.txt", root + "\\none\\b.txt"}, true) ==
        std::vector<LinkState>{LinkState::kBroken, LinkState::kBroken});
  std::filesystem::remove_all(std::filesystem::path(Wide(root)));
}
