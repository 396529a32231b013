#include <doctest.h>

#include "system/running_applications.h"

using namespace orvela;

TEST_CASE("Running applications: module paths made usable") {
  const std::string system = "C:\\windows\\system32";
  CHECK(NormaliseModulePath("\\SystemRoot\\System32\\smss.exe", system) == "C:\\windows\\system32\\smss.exe");
  CHECK(NormaliseModulePath("\\??\\C:\\WINDOWS\\system32\\csrss.exe", system) == "C:\\WINDOWS\\system32\\csrss.exe");
  CHECK(NormaliseModulePath("C:\\Tools\\表.exe", system) == "C:\\Tools\\表.exe");
  CHECK(NormaliseModulePath("C:\\systemroot\\a.exe", system) == "C:\\systemroot\\a.exe");  // case counts
}

TEST_CASE("Running applications: the main window of a process") {
  std::vector<WindowFacts> windows = {
      {1, 10, false, "Program Manager", "Progman"},  // the desktop is never an application's
      {2, 20, false, "", "Untitled"},                // no title
      {3, 20, true, "Options", "#32770"},            // owned: a dialog of another window
      {4, 20, false, "Editor - a.txt", "Editor"},
      {5, 20, false, "Editor - b.txt", "Editor"},
      {6, 30, false, "", "Hidden"},
  };
  CHECK(MainWindowOf(windows, 10) == nullptr);
  REQUIRE(MainWindowOf(windows, 20) != nullptr);
  CHECK(MainWindowOf(windows, 20)->handle == 4);  // the first that qualifies
  CHECK(MainWindowOf(windows, 30) == nullptr);
  CHECK(MainWindowOf(windows, 40) == nullptr);
}

TEST_CASE("Running applications: only the first 1024 visible windows are looked at") {
  std::vector<std::uintptr_t> windows;
  std::uintptr_t handle = 0;
  int asked = 0;
  // Every third window is hidden; the enumeration is told to stop once the list is full.
  while (handle < 5000) {
    ++handle;
    ++asked;
    if (!CollectVisibleWindow(windows, handle, handle % 3 != 0)) break;
  }
  REQUIRE(windows.size() == kMaxCollectedWindows);
  CHECK(windows.front() == 1);
  CHECK(windows.back() == 1024 / 2 * 3 - 1);  // the 1024th visible one
  CHECK(asked == 1024 / 2 * 3);  // the window after it (hidden or not) stopped the enumeration
}

TEST_CASE("Running applications: the product name falls back to the file name") {
  CHECK(ProductNameOr("Notepad Pro", "C:\\a\\notepad.exe") == "Notepad Pro");
  CHECK(ProductNameOr("", "C:\\a\\notepad.exe") == "notepad");
  CHECK(ProductNameOr("", "C:\\a\\tool.v2.exe") == "tool.v2");
}
