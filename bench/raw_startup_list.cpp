// What a list costs without row details: one window whose owner-drawn list shows the name
// and command of every entry, read from the same sources by the same functions as the
// program, after the window is shown. No icon, no version texts, no shortcut resolved.
// Its window title tells how long the enumeration itself took ("raw <milliseconds>"), for
// the bench to add to the blank window's start.
//   bench-raw [startup|uninstall|recent]     the page whose sources it reads (startup)
#include <windows.h>
#include <commctrl.h>

#include <cwchar>
#include <optional>
#include <string>
#include <vector>

#include "system/locations.h"
#include "system/shell_folders_win.h"
#include "platform/folders_win.h"
#include "platform/registry_backend_win.h"
#include "platform/wide_win.h"
#include "recent/recent_rows.h"
#include "recent/recent_shell_win.h"
#include "startup/startup_entries.h"
#include "startup/folder_files_win.h"
#include "uninstall/uninstall_list.h"
#include "uninstall/uninstall_system_win.h"

using namespace orvela;

namespace {

constexpr int kListId = 1;
std::vector<std::string> g_rows;  // what each row shows
HWND g_list = nullptr;

std::vector<std::string> ReadStartupRows() {
  ProfileLocations locations = ProfileLocations::FromShell(CurrentShellFolders());
  locations.SetProfiles(locations.root().empty() ? std::vector<std::string>{} : ListSubfolders(locations.root()));
  std::vector<orvela::FolderItem> items;
  for (int i = 0; i < static_cast<int>(locations.profiles().size()); ++i)
    ListFolderFiles(locations.FolderOf(FolderKind::kStartup, i), i, "", items);
  Win32Registry registry;
  std::vector<std::string> rows;
  for (const EntryRecord& entry : CollectStartupEntries(
           items, {ReadRunKey(registry, RootKey::kCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run"),
                   ReadRunKey(registry, RootKey::kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run"),
                   ReadRunKey(registry, RootKey::kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce")}))
    rows.push_back("[" + entry.Name + "] " + entry.Command);
  return rows;
}

// The uninstall page's sources: every key's caption, command and date, no icon.
std::vector<std::string> ReadUninstallRows() {
  Win32Registry registry;
  const Win32UninstallSystem system([](const std::string&) { return std::string(); });
  std::vector<std::string> rows;
  for (const SortRow& row : CollectUninstallRows(registry, system, UninstallMode::kPrograms, false)) {
    const UninstallEntry entry = ReadUninstallEntry(registry, row, system);
    rows.push_back(entry.display_name + " " + entry.command + " " + entry.date_text);
  }
  return rows;
}

// The recent-files page's source: the shortcuts of the user's Recent folder with their times.
std::vector<std::string> ReadRecentRows() {
  ProfileLocations locations = ProfileLocations::FromShell(CurrentShellFolders());
  locations.SetProfiles(locations.root().empty() ? std::vector<std::string>{} : ListSubfolders(locations.root()));
  RecentRows found;
  if (const std::optional<int> profile = locations.ProfileIndexOf(locations.current_profile_name()))
    ListRecentShortcuts(locations.FolderOf(FolderKind::kRecent, *profile), found);
  std::vector<std::string> rows;
  rows.reserve(found.size());
  for (const RecentRow& row : found.rows) rows.push_back(found.PathOf(row));
  return rows;
}

void DrawRow(const DRAWITEMSTRUCT& item) {
  FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_WINDOW));
  if (item.itemID >= g_rows.size()) return;
  const std::wstring text = Wide(g_rows[item.itemID]);
  RECT box = item.rcItem;
  box.left += 37;
  box.top += 2;
  SetBkMode(item.hDC, TRANSPARENT);
  DrawTextW(item.hDC, text.c_str(), static_cast<int>(text.size()), &box, DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_DRAWITEM:
      DrawRow(*reinterpret_cast<DRAWITEMSTRUCT*>(lparam));
      return TRUE;
    case WM_SIZE:
      if (g_list) MoveWindow(g_list, 0, 0, LOWORD(lparam), HIWORD(lparam), TRUE);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int show) {
  const std::wstring page = arguments ? arguments : L"";
  InitCommonControls();
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = WindowProc;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  window_class.lpszClassName = L"OrvelaBenchRaw";
  RegisterClassW(&window_class);
  HWND window = CreateWindowExW(0, L"OrvelaBenchRaw", L"raw", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                CW_USEDEFAULT, CW_USEDEFAULT, 672, 489, nullptr, nullptr, instance, nullptr);
  g_list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTBOXW, L"",
                           WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_NODATA | LBS_NOINTEGRALHEIGHT,
                           0, 0, 100, 100, window, reinterpret_cast<HMENU>(kListId), instance, nullptr);
  SendMessageW(g_list, LB_SETITEMHEIGHT, 0, 42);
  ShowWindow(window, show);
  UpdateWindow(window);
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  CoInitialize(nullptr);
  g_rows = page == L"uninstall" ? ReadUninstallRows() : page == L"recent" ? ReadRecentRows() : ReadStartupRows();
  SendMessageW(g_list, LB_SETCOUNT, g_rows.size(), 0);
  QueryPerformanceCounter(&end);
  wchar_t title[64];
  swprintf(title, 64, L"raw %.3f", static_cast<double>(end.QuadPart - start.QuadPart) * 1000 / frequency.QuadPart);
  SetWindowTextW(window, title);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  CoUninitialize();
  return 0;
}
