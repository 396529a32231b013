// What the recent-files and programs pages ask of the shell, on real shortcuts of the test
// prefix.
#include <doctest.h>

#include "recent/recent_shell_win.h"

#include <shlobj.h>

#include "components/shell_link_win.h"
#include "platform/folders_win.h"
#include "platform/wide_win.h"

using namespace orvela;

TEST_CASE("開く: a shortcut to a file opens the file in its folder, one to no file opens as itself") {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::string folder = Narrow(temp) + "orvela-open";
  CreateFolderTree(folder);
  const std::string document = folder + "\\報告.txt";
  CloseHandle(CreateFileW(Wide(document).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  TShellLink links;
  const std::string to_document = links.CreateLink2(document, nullptr, folder, "報告", true);
  UniqueItemIdList computer;
  REQUIRE(SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, computer.put())));
  const std::string to_computer = links.CreateLink2("", computer.get(), folder, "コンピューター", true);
  REQUIRE_FALSE(to_computer.empty());

  OpenChoice choice = ChooseWhatToOpen(to_document, links, nullptr);
  CHECK(choice.kind == OpenChoice::Kind::kOpen);
  CHECK(choice.path == document);
  CHECK(choice.folder == folder);
  // The shell follows the shortcut itself as Explorer would.
  choice = ChooseWhatToOpen(to_computer, links, nullptr);
  CHECK(choice.kind == OpenChoice::Kind::kOpen);
  CHECK(choice.path == to_computer);

  for (const std::string& file : {document, to_document, to_computer}) DeleteFileW(Wide(file).c_str());
  RemoveDirectoryW(Wide(folder).c_str());
}
