// The recent-files page as a user reaches it: through the programs page's jump button,
// sorted by "状態" with a click on the header, one shortcut deleted after "No" and then
// "Yes" in the real question box. Pictures of both pages are saved for a person to look
// at (build/screenshots/test-recent-files.bmp, test-programs.bmp).
#include <doctest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "rows/row_detail_queue_win.h"
#include "components/shell_link_win.h"
#include "platform/folders_win.h"
#include "program_driver.h"
#include "test_files_win.h"

using namespace orvela;
using namespace orvela::testing;
namespace fs = std::filesystem;

namespace {

constexpr int kPageControl1 = 1201, kSpeedButton5 = 1004, kSpeedButton9 = 1008, kSpeedButton12 = 1011,
              kListView2 = 1304;
constexpr UINT kDelete4 = 2410;

// Wine does not carry list-view and header structures across processes: they go through
// a block of the program's own memory.
class RemoteBlock {
 public:
  RemoteBlock(HANDLE process, size_t size)
      : process_(process), address_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {}
  RemoteBlock(const RemoteBlock&) = delete;
  RemoteBlock& operator=(const RemoteBlock&) = delete;
  ~RemoteBlock() {
    if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
  }
  LPARAM at(size_t offset = 0) const { return reinterpret_cast<LPARAM>(static_cast<char*>(address_) + offset); }
  template <typename T>
  void Put(const T& value, size_t offset = 0) {
    WriteProcessMemory(process_, reinterpret_cast<void*>(at(offset)), &value, sizeof value, nullptr);
  }
  template <typename T>
  T Get(size_t offset = 0) const {
    T value{};
    ReadProcessMemory(process_, reinterpret_cast<void*>(at(offset)), &value, sizeof value, nullptr);
    return value;
  }
  std::string Text(size_t offset) const {
    wchar_t text[260] = {};
    ReadProcessMemory(process_, reinterpret_cast<void*>(at(offset)), text, sizeof text - sizeof(wchar_t), nullptr);
    return Narrow(text);
  }

 private:
  HANDLE process_;
  void* address_;
};

struct RecentWindow {
  RunningProgram program;
  HWND main = nullptr, list = nullptr, header = nullptr;

  int Rows() const { return static_cast<int>(SendWithTimeout(list, LVM_GETITEMCOUNT, 0, 0)); }
  std::string Cell(int row, int column) const {
    RemoteBlock block(program.process.get(), sizeof(LVITEMW) + 520);
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = reinterpret_cast<LPWSTR>(block.at(sizeof item));
    item.cchTextMax = 260;
    block.Put(item);
    SendWithTimeout(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), block.at());
    return block.Text(sizeof item);
  }
  int RowNamed(const std::string& name) const {
    for (int row = 0; row < Rows(); ++row)
      if (Cell(row, 1) == name) return row;
    return -1;
  }
  void Select(int row) const {
    RemoteBlock block(program.process.get(), sizeof(LVITEMW));
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    block.Put(item);
    SendWithTimeout(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), block.at());
    item.state = item.stateMask;
    block.Put(item);
    SendWithTimeout(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), block.at());
  }
  // The column's caption and its header image (-1 for none).
  std::pair<std::string, int> Column(int column) const {
    RemoteBlock block(program.process.get(), sizeof(HDITEMW) + 520);
    HDITEMW item{};
    item.mask = HDI_TEXT | HDI_FORMAT | HDI_IMAGE;
    item.pszText = reinterpret_cast<LPWSTR>(block.at(sizeof item));
    item.cchTextMax = 260;
    block.Put(item);
    SendWithTimeout(header, HDM_GETITEMW, static_cast<WPARAM>(column), block.at());
    item = block.Get<HDITEMW>();
    return {block.Text(sizeof item), (item.fmt & HDF_IMAGE) ? item.iImage : -1};
  }
  // A click as the mouse makes it, inside the column's part of the header.
  void ClickColumn(int column) const {
    int x = 10;
    for (int c = 0; c < column; ++c) x += static_cast<int>(SendWithTimeout(list, LVM_GETCOLUMNWIDTH, c, 0));
    PostMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 5));
    PostMessageW(header, WM_LBUTTONUP, 0, MAKELPARAM(x, 5));
  }
};

// How many colours a control shows: a button drawn has its glyph and caption, one left
// blank only the colour behind it.
size_t ColoursShown(HWND control) {
  const Picture picture = Grab(control);
  return std::set<COLORREF>(picture.pixels.begin(), picture.pixels.end()).size();
}

}  // namespace

TEST_CASE("recent files through the page button: rows, header, the state sort and a delete") {
  CoInitialize(nullptr);
  const std::string recent = ShellFolderPath(CSIDL_RECENT), programs = ShellFolderPath(CSIDL_PROGRAMS);
  REQUIRE_FALSE(recent.empty());
  std::error_code ignored;
  for (const auto& entry : fs::directory_iterator(fs::path(Wide(recent)), ignored)) fs::remove(entry.path(), ignored);
  const std::string exe = InstallProgramCopy("recent");
  const std::string folder = exe.substr(0, exe.rfind('\\') + 1);
  for (const char* name : {"報告書.txt", "memo.txt", "gone.txt"}) WriteFile(folder + name);
  for (const char* name : {"報告書", "memo", "gone"}) REQUIRE_FALSE(Link(recent, name, folder + name + ".txt").empty());
  // Something to see on the programs page: a folder with a lost shortcut and a site.
  const std::string samples = programs + "\\Orvela Samples 1.0";
  REQUIRE_FALSE(Link(samples, "Memo", folder + "memo.txt").empty());
  REQUIRE_FALSE(Link(samples, "Lost", folder + "gone.txt").empty());
  DeleteFileW(Wide(folder + "gone.txt").c_str());
  std::ofstream(fs::path(Wide(samples + "\\Site.url"))) << "[InternetShortcut]\r\nURL=http://127.0.0.1/\r\n";
  CoUninitialize();

  RecentWindow window;
  window.program = StartProgram(exe);
  ScopeExit end([&] { KillProgram(window.program); });
  window.main = WaitForWindow(window.program.pid, L"TForm1");
  REQUIRE(window.main);
  WaitUntilIdle(window.program);
  // The programs tab first (its list is made then), then its jump button to the recent files.
  SendWithTimeout(FindControl(window.main, kPageControl1), TCM_SETCURFOCUS, 4, 0);
  REQUIRE(WaitUntil([&] { return WindowText(window.main) == "Orvela [ プログラム ]"; }));
  window.list = FindControl(window.main, kListView2);
  REQUIRE(window.list);
  window.header = reinterpret_cast<HWND>(SendWithTimeout(window.list, LVM_GETHEADER, 0, 0, 0));
  REQUIRE(WaitUntil([&] { return window.RowNamed("Orvela Samples 1.0") >= 0; }));
  // The rows shown get their states and icons right after they are drawn.
  WaitUntilIdle(window.program);
  const UINT waiting = RegisterWindowMessageW(kRowDetailsWaitingMessage);
  REQUIRE(WaitUntil([&] { return SendWithTimeout(window.list, waiting, static_cast<WPARAM>(-1), 0) == 0; }));
  WaitUntilIdle(window.program);
  SaveScreenshot(Grab(window.main), "test-programs.bmp");
  PostControlCommand(window.main, FindControl(window.main, kSpeedButton12), BN_CLICKED);
  REQUIRE(WaitUntil([&] { return WindowText(window.main) == "Orvela [ 最近使ったファイル ]"; }));
  REQUIRE(WaitUntil([&] { return window.Rows() == 3; }));
  CHECK(window.Column(0) == std::pair<std::string, int>{"更新日時", 27});
  CHECK(window.Column(1).first == "最近使ったファイルの名前");
  CHECK(window.Column(2) == std::pair<std::string, int>{"状態", -1});

  window.ClickColumn(2);
  REQUIRE(WaitUntil([&] { return window.Column(2).second == 28; }));
  CHECK(window.Column(0).second == -1);
  CHECK(window.Cell(window.RowNamed("gone"), 2) == "×");
  CHECK(window.Cell(window.RowNamed("memo"), 2) == "○");
  WaitUntilIdle(window.program);
  SaveScreenshot(Grab(window.main), "test-recent-files.bmp");

  window.Select(window.RowNamed("memo"));
  PostMenuCommand(window.main, kDelete4);
  HWND box = WaitForWindow(window.program.pid, L"#32770");
  REQUIRE(box);
  CHECK(MessageBoxText(box) == "'memo' を削除してもよろしいですか？");
  CHECK(WindowText(box) == "削除確認");
  PressButton(box, IDNO);
  REQUIRE(WaitUntil([&] { return !IsWindow(box); }));
  CHECK(window.Rows() == 3);
  CHECK(FileExists(recent + "\\memo.lnk"));

  PostMenuCommand(window.main, kDelete4);
  box = WaitForWindow(window.program.pid, L"#32770");
  REQUIRE(box);
  PressButton(box, IDYES);
  CHECK(WaitUntil([&] { return window.Rows() == 2; }));
  CHECK_FALSE(FileExists(recent + "\\memo.lnk"));
  CHECK(window.RowNamed("memo") == -1);

  // To the startup page by its page button: the tool buttons that move are drawn where
  // they land (the version button once stayed blank there).
  PostControlCommand(window.main, FindControl(window.main, kSpeedButton9), BN_CLICKED);
  REQUIRE(WaitUntil([&] { return WindowText(window.main) == "Orvela [ スタートアップ ]"; }));
  WaitUntilIdle(window.program);
  CHECK(ColoursShown(FindControl(window.main, kSpeedButton5)) > 2);

  PostMessageW(window.main, WM_CLOSE, 0, 0);
  CHECK(WaitForExit(window.program) == 0);
  fs::remove_all(fs::path(Wide(samples)), ignored);
}
