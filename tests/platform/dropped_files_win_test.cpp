#include <doctest.h>

#include <windows.h>
#include <shellapi.h>

#include "drop_support_win.h"
#include "platform/dropped_files_win.h"

using namespace orvela;

TEST_CASE("Dropped files come in the order of the drop, whole") {
  const std::string long_name = "C:\\" + std::string(300, 'x') + "\\tool.exe";  // past 260 characters
  const std::vector<std::string> paths = {"C:\\b\\second.exe", "C:\\a\\表 😀.exe", long_name, "C:\\"};
  HDROP drop = testing::MakeDrop(paths, {5, 7});
  CHECK(DroppedFiles(drop) == paths);
  POINT point{};
  DragQueryPoint(drop, &point);
  CHECK(point.x == 5);
  DragFinish(drop);
}
