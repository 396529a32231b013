// Seeds the bench prefix with list entries and times the program from a second process, the
// way a user meets it: against a blank Win32 window and a raw program that reads the same
// sources without row details, in rotated order, several runs.
//
//   bench-driver seed-startup <count> <bench program>    entries for the startup page
//   bench-driver clear-all                               every page's entries go
//   bench-driver measure --page startup|uninstall|recent --sizes 0,200,2000 --runs 5
//                        --orvela <exe> --blank <exe> --raw <exe> --program <bench program>
//                        [--full-fill <seconds>]           today's full fill, for the ratios
//   bench-driver baseline --page startup --size 2000 --runs 1 --orvela <old exe>
//                        --program <bench program>
//
// Every page the bench knows is a row of Pages() below: how to seed and clear its entries,
// how to open it from outside, which list shows them; the raw program is told the page.
//
// Output is ASCII: Wine's console pipe stops at the first character it cannot pass.
#include <windows.h>
#include <psapi.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "rows/row_detail_queue_win.h"
#include "components/shell_link_win.h"
#include "platform/folders_win.h"
#include "platform/handles_win.h"
#include "platform/wide_win.h"

using namespace orvela;

namespace {

// ---------------------------------------------------------------------------------------
// Time

double Seconds() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / frequency;
}

struct Spread {
  double min = 0, median = 0, max = 0;
};

Spread SpreadOf(std::vector<double> values) {
  if (values.empty()) return {};
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  const double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
  return {values.front(), median, values.back()};
}

// ---------------------------------------------------------------------------------------
// The startup page's entries: a third user Run values, a third machine Run values, a third
// shortcuts in the user's Startup folder, each naming its own copy of the bench program in
// a folder of its own.

constexpr wchar_t kUserRun[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kMachineRun[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kBenchRoot[] = "C:\\OrvelaBench";
constexpr wchar_t kValuePrefix[] = L"Bench ";

std::string ProgramPath(int i) {
  char name[80];
  std::snprintf(name, sizeof name, "%s\\Programs\\%04d\\prog%04d.exe", kBenchRoot, i, i);
  return name;
}

std::wstring Numbered(const wchar_t* kind, int i) {
  wchar_t name[64];
  std::swprintf(name, 64, L"%ls%ls %04d", kValuePrefix, kind, i);
  return name;
}

struct StartupSplit {
  int user, machine, links;
};
StartupSplit SplitOf(int count) { return {count / 3, count / 3, count - 2 * (count / 3)}; }

bool SetString(HKEY root, const wchar_t* path, const std::wstring& name, const std::wstring& data) {
  UniqueHkey key;
  if (RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr) != ERROR_SUCCESS)
    return false;
  return RegSetValueExW(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                        static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

// The names of the bench's own values (or subkeys) of an open key.
std::vector<std::wstring> BenchNamesIn(HKEY key, bool subkeys) {
  std::vector<std::wstring> names;
  for (DWORD i = 0;; ++i) {
    wchar_t name[16384];
    DWORD length = 16384;
    const LONG status = subkeys ? RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr)
                                : RegEnumValueW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (status != ERROR_SUCCESS) break;
    if (wcsncmp(name, kValuePrefix, wcslen(kValuePrefix)) == 0) names.emplace_back(name);
  }
  return names;
}

void DeleteBenchValues(HKEY root, const wchar_t* path) {
  UniqueHkey key;
  if (RegOpenKeyExW(root, path, 0, KEY_ALL_ACCESS, key.put()) != ERROR_SUCCESS) return;
  for (const std::wstring& name : BenchNamesIn(key.get(), false)) RegDeleteValueW(key.get(), name.c_str());
}

std::string UserStartupFolder() { return ShellFolderPath(CSIDL_STARTUP); }

// Entry i's own copy of the bench program, made when it is not there yet.
bool CopyProgramOnce(const std::string& program, const std::string& path) {
  if (FileExists(path)) return true;
  CreateFolderTree(path.substr(0, path.rfind('\\')));
  return CopyFileW(Wide(program).c_str(), Wide(path).c_str(), TRUE) != 0;
}

// Idempotent: what exists stays, what is missing (a disabled entry) comes back.
bool SeedStartup(int count, const std::string& program) {
  const StartupSplit split = SplitOf(count);
  TShellLink links;
  const std::string startup = UserStartupFolder();
  CreateFolderTree(startup);
  bool ok = true;
  for (int i = 0; i < count; ++i) {
    const std::string path = ProgramPath(i);
    ok &= CopyProgramOnce(program, path);
    const std::wstring command = L"\"" + Wide(path) + L"\" /background";
    if (i < split.user) {
      ok &= SetString(HKEY_CURRENT_USER, kUserRun, Numbered(L"user", i), command);
    } else if (i < split.user + split.machine) {
      ok &= SetString(HKEY_LOCAL_MACHINE, kMachineRun, Numbered(L"machine", i), command);
    } else {
      const std::string name = Narrow(Numbered(L"link", i));
      if (!FileExists(startup + "\\" + name + ".lnk"))
        ok &= !links.CreateLink2(path, nullptr, startup, name, true).empty();
    }
  }
  return ok;
}

void ClearStartup() {
  DeleteBenchValues(HKEY_CURRENT_USER, kUserRun);
  DeleteBenchValues(HKEY_LOCAL_MACHINE, kMachineRun);
  const std::string startup = UserStartupFolder();
  WIN32_FIND_DATAW found{};
  UniqueFindHandle find(FindFirstFileW(Wide(startup + "\\Bench *.lnk").c_str(), &found));
  if (find) {
    do DeleteFileW(Wide(startup + "\\" + Narrow(found.cFileName)).c_str());
    while (FindNextFileW(find.get(), &found));
  }
}

// ---------------------------------------------------------------------------------------
// The uninstall page's entries: keys under the machine's Uninstall key, each with a name, an
// install date and an uninstall command naming its own copy of the bench program (whose icon
// the row shows).

constexpr wchar_t kUninstallKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// The first entry's subkeys: the removal the bench times saves and deletes them all.
constexpr int kLargeEntrySubkeys = 2000;

bool SeedUninstall(int count, const std::string& program) {
  bool ok = true;
  for (int i = 0; i < count; ++i) {
    const std::string path = ProgramPath(i);
    ok &= CopyProgramOnce(program, path);
    const std::wstring key = std::wstring(kUninstallKey) + L"\\" + Numbered(L"program", i);
    wchar_t date[16];
    std::swprintf(date, 16, L"2026%02d%02d", 1 + i % 12, 1 + i % 28);
    ok &= SetString(HKEY_LOCAL_MACHINE, key.c_str(), L"DisplayName", Numbered(L"program", i)) &&
          SetString(HKEY_LOCAL_MACHINE, key.c_str(), L"UninstallString", L"\"" + Wide(path) + L"\" /uninstall") &&
          SetString(HKEY_LOCAL_MACHINE, key.c_str(), L"Publisher", L"Orvela bench") &&
          SetString(HKEY_LOCAL_MACHINE, key.c_str(), L"InstallDate", date);
    for (int part = 0; i == 0 && part < kLargeEntrySubkeys; ++part)
      ok &= SetString(HKEY_LOCAL_MACHINE, (key + L"\\" + Numbered(L"part", part)).c_str(), L"Data", L"x");
  }
  return ok;
}

void ClearUninstall() {
  UniqueHkey key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_ALL_ACCESS, key.put()) != ERROR_SUCCESS) return;
  for (const std::wstring& name : BenchNamesIn(key.get(), true)) RegDeleteTreeW(key.get(), name.c_str());
}

// ---------------------------------------------------------------------------------------
// The recent-files page's entries: shortcuts in the user's Recent folder, copies of one the
// shell made, their times a minute apart.

std::string RecentFolder() { return ShellFolderPath(CSIDL_RECENT); }

int CountFiles(const std::string& pattern) {
  WIN32_FIND_DATAW found{};
  UniqueFindHandle find(FindFirstFileW(Wide(pattern).c_str(), &found));
  int count = 0;
  if (find) {
    do ++count;
    while (FindNextFileW(find.get(), &found));
  }
  return count;
}

void DeleteFiles(const std::string& folder, const std::string& pattern) {
  WIN32_FIND_DATAW found{};
  UniqueFindHandle find(FindFirstFileW(Wide(folder + "\\" + pattern).c_str(), &found));
  if (!find) return;
  do DeleteFileW(Wide(folder + "\\" + Narrow(found.cFileName)).c_str());
  while (FindNextFileW(find.get(), &found));
}

bool SeedRecent(int count, const std::string&) {
  const std::string folder = RecentFolder();
  CreateFolderTree(folder);
  if (CountFiles(folder + "\\Bench *.lnk") == count) return true;
  DeleteFiles(folder, "Bench *.lnk");
  if (count == 0) return true;
  const std::string target = std::string(kBenchRoot) + "\\recent-target.txt";
  CreateFolderTree(kBenchRoot);
  CloseHandle(CreateFileW(Wide(target).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  TShellLink links;
  const std::string model = links.CreateLink2(target, nullptr, std::string(kBenchRoot), "recent model", true);
  if (model.empty()) return false;
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  bool ok = true;
  for (int i = 0; i < count; ++i) {
    char name[64];
    std::snprintf(name, sizeof name, "\\Bench %05d.txt.lnk", i);
    const std::wstring path = Wide(folder + name);
    ok &= CopyFileW(Wide(model).c_str(), path.c_str(), FALSE) != 0;
    UniqueHandle copy(CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ULARGE_INTEGER t{{now.dwLowDateTime, now.dwHighDateTime}};
    t.QuadPart -= static_cast<ULONGLONG>(i) * 600000000ULL;
    const FILETIME written{t.LowPart, t.HighPart};
    if (copy) SetFileTime(copy.get(), nullptr, nullptr, &written);
  }
  DeleteFileW(Wide(model).c_str());
  return ok;
}

void ClearRecent() { DeleteFiles(RecentFolder(), "Bench *.lnk"); }

// ---------------------------------------------------------------------------------------
// The pages the bench knows.

constexpr int kOrvelaRefresh = 1003;         // SpeedButton7
constexpr int kOrvelaUninstallButton = 1010;  // SpeedButton11 of Panel7
constexpr int kOrvelaPageControl = 1201;
constexpr int kOrvelaRecentPage = 3;

struct PageBench {
  const char* name;
  std::function<bool(int, const std::string&)> seed;
  std::function<void()> clear;
  int page_list_id;       // the page's list in Orvela's window
  bool list_view;         // a list view (else an owner-drawn list box)
  // How a user comes to the page from the startup page Orvela opens with; nothing for that.
  std::function<void(HWND window)> open;
  std::function<int(int)> disable_row;  // by entry count: the row whose disable is timed; none
  // A long command a user gives on the page (its question answered Yes), timed and probed
  // until the list shows `rows_after` rows; none for the startup page.
  const char* long_command = nullptr;
  std::function<bool(HWND window, HWND list, DWORD pid)> start_long_command;
  std::function<int(int)> rows_after;
};

HWND Control(HWND window, int id);
HWND VisibleWindow(DWORD pid, const wchar_t* window_class);
bool PollUntil(const std::function<bool()>& done, double timeout_s);

void Click(HWND window, int id) {
  PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Control(window, id)));
}

// A menu command of the row menu, then Yes to the question it asks.
bool CommandAnsweredYes(HWND window, DWORD pid, UINT command) {
  PostMessageW(window, WM_COMMAND, MAKEWPARAM(command, 0), 0);
  HWND box = nullptr;
  if (!PollUntil([&] { return (box = VisibleWindow(pid, L"#32770")) != nullptr; }, 60)) return false;
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDYES)));
  return true;
}

constexpr UINT kOrvelaDelete3 = 2309;  // 削除(&D) of the uninstall page's row menu
constexpr UINT kOrvelaSelectAll = 2409;  // 全て選択(&A) of the recent-files page's row menu
constexpr UINT kOrvelaDelete4 = 2410;  // 削除(&D) of the recent-files page's row menu

const std::vector<PageBench>& Pages() {
  static const std::vector<PageBench> pages = {
      // The first user Run value: the shortcuts' rows come first.
      {"startup", SeedStartup, ClearStartup, 1301, false, nullptr, [](int count) { return SplitOf(count).links; },
       nullptr, nullptr, nullptr},
      // Its page button, as a user picks the page.
      {"uninstall", SeedUninstall, ClearUninstall, 1303, false,
       [](HWND window) { Click(window, kOrvelaUninstallButton); }, nullptr,
       "removing an entry with 2,000 subkeys (its backup included)",
       [](HWND window, HWND list, DWORD pid) {
         const std::wstring first = Numbered(L"program", 0);
         const LRESULT row = SendMessageW(list, LB_FINDSTRING, static_cast<WPARAM>(-1),
                                          reinterpret_cast<LPARAM>(first.c_str()));
         if (row < 0) return false;
         SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
         return CommandAnsweredYes(window, pid, kOrvelaDelete3);
       },
       [](int rows) { return rows - 1; }},
      // Its tab, then the page's refresh: a tab click's notice cannot be sent from another process.
      {"recent", SeedRecent, ClearRecent, 1304, true,
       [](HWND window) {
         SendMessageW(Control(window, kOrvelaPageControl), TCM_SETCURSEL, kOrvelaRecentPage, 0);
         Click(window, kOrvelaRefresh);
       },
       nullptr, "deleting every shortcut",
       [](HWND window, HWND, DWORD pid) {
         PostMessageW(window, WM_COMMAND, MAKEWPARAM(kOrvelaSelectAll, 0), 0);
         return CommandAnsweredYes(window, pid, kOrvelaDelete4);
       },
       [](int) { return 0; }},
  };
  return pages;
}

void ClearAll() {
  for (const PageBench& page : Pages()) page.clear();
}

const PageBench* PageNamed(const std::string& name) {
  for (const PageBench& page : Pages())
    if (name == page.name) return &page;
  return nullptr;
}

// ---------------------------------------------------------------------------------------
// Driving a program from outside

constexpr UINT kOrvelaDisable = 2001;  // N1 of the row menu

struct Search {
  DWORD pid;
  const wchar_t* window_class;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  if (pid != search->pid || !IsWindowVisible(window) || wcscmp(name, search->window_class) != 0) return TRUE;
  search->found = window;
  return FALSE;
}

HWND VisibleWindow(DWORD pid, const wchar_t* window_class) {
  Search search{pid, window_class, nullptr};
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

BOOL CALLBACK MatchControl(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<std::pair<int, HWND>*>(data);
  if (GetDlgCtrlID(window) != search->first) return TRUE;
  search->second = window;
  return FALSE;
}

HWND Control(HWND window, int id) {
  std::pair<int, HWND> search{id, nullptr};
  EnumChildWindows(window, MatchControl, reinterpret_cast<LPARAM>(&search));
  return search.second;
}

std::optional<LRESULT> Ask(HWND window, UINT message, WPARAM wparam = 0, LPARAM lparam = 0,
                           UINT timeout_ms = 120000) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, message, wparam, lparam, SMTO_NORMAL, timeout_ms, &result)) return std::nullopt;
  return static_cast<LRESULT>(result);
}

UINT WaitingMessage() {
  static const UINT message = RegisterWindowMessageW(kRowDetailsWaitingMessage);
  return message;
}

// Rows of a list box, and whether any row in view still waits for its details. A program
// without a detail queue answers 0 to the question, as DefWindowProc does.
struct ListState {
  int rows = -1;
  bool visible_waiting = true;
  int waiting = -1;
};

// Few questions, since each one waits for the window's thread.
ListState StateOf(HWND list, int row_height, bool list_view) {
  ListState state;
  if (list_view) {
    // A list view asks for its rows as it paints them: the rows in view are in once none
    // waits to be painted, the paint under way (if any) has ended, and none of those in
    // view waits for its details.
    const auto rows = Ask(list, LVM_GETITEMCOUNT);
    const auto top = Ask(list, LVM_GETTOPINDEX);
    const auto shown = Ask(list, LVM_GETCOUNTPERPAGE);
    const auto waiting = Ask(list, WaitingMessage(), static_cast<WPARAM>(-1));
    if (!rows || !top || !shown || !waiting) return state;
    state.rows = static_cast<int>(*rows);
    state.waiting = static_cast<int>(*waiting);
    state.visible_waiting =
        GetUpdateRect(list, nullptr, FALSE) ||
        (state.waiting > 0 &&
         Ask(list, WaitingMessage(), static_cast<WPARAM>(*top), static_cast<LPARAM>(*shown + 1)).value_or(1) != 0);
    return state;
  }
  const auto rows = Ask(list, LB_GETCOUNT);
  const auto top = Ask(list, LB_GETTOPINDEX);
  const auto waiting = Ask(list, WaitingMessage(), static_cast<WPARAM>(-1));
  if (!rows || !top || !waiting) return state;
  state.rows = static_cast<int>(*rows);
  state.waiting = static_cast<int>(*waiting);
  RECT client{};
  GetClientRect(list, &client);
  const int shown = row_height > 0 ? (client.bottom + row_height - 1) / row_height : 0;
  state.visible_waiting =
      state.waiting > 0 && Ask(list, WaitingMessage(), static_cast<WPARAM>(*top), shown).value_or(1) != 0;
  return state;
}

bool PollUntil(const std::function<bool()>& done, double timeout_s) {
  const double end = Seconds() + timeout_s;
  while (Seconds() < end) {
    if (done()) return true;
    Sleep(5);
  }
  return done();
}

// Sends WM_NULL every 20 ms and keeps the longest wait for an answer since the last Take.
class Probe {
 public:
  explicit Probe(HWND window) : window_(window) {
    thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
  }
  ~Probe() { Stop(); }
  // The longest wait since the last call; a wait still going on counts as far as it got.
  double Take() {
    const double waiting_since = waiting_since_.load();
    double longest = longest_ms_.exchange(0);
    if (waiting_since > 0) longest = std::max(longest, (Seconds() - waiting_since) * 1000);
    return longest;
  }
  void Stop() {
    if (!thread_) return;
    stop_ = true;
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    thread_ = nullptr;
  }

 private:
  static DWORD WINAPI Run(void* self) {
    auto* probe = static_cast<Probe*>(self);
    while (!probe->stop_) {
      const double start = Seconds();
      probe->waiting_since_ = start;
      DWORD_PTR ignored = 0;
      const bool answered = SendMessageTimeoutW(probe->window_, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &ignored);
      probe->waiting_since_ = 0;
      if (!answered && !IsWindow(probe->window_)) break;
      const double waited = (Seconds() - start) * 1000;
      double longest = probe->longest_ms_.load();
      while (waited > longest && !probe->longest_ms_.compare_exchange_weak(longest, waited)) {
      }
      Sleep(20);
    }
    return 0;
  }

  HWND window_;
  HANDLE thread_ = nullptr;
  std::atomic<bool> stop_{false};
  std::atomic<double> longest_ms_{0};
  std::atomic<double> waiting_since_{0};
};

struct Started {
  UniqueHandle process;
  DWORD pid = 0;
  double at = 0;
};

Started Start(const std::string& exe, const std::string& arguments = "") {
  Started started;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::wstring command = L"\"" + Wide(exe) + L"\"" + (arguments.empty() ? L"" : L" " + Wide(arguments));
  started.at = Seconds();
  if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    CloseHandle(info.hThread);
    started.process.reset(info.hProcess);
    started.pid = info.dwProcessId;
  }
  return started;
}

size_t PeakWorkingSet(HANDLE process) {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  return GetProcessMemoryInfo(process, &counters, sizeof counters) ? counters.PeakWorkingSetSize : 0;
}

void Close(Started& started, HWND window) {
  if (window) PostMessageW(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(started.process.get(), 30000) != WAIT_OBJECT_0) {
    TerminateProcess(started.process.get(), 1);
    WaitForSingleObject(started.process.get(), 30000);
  }
}

// A fresh folder with a copy of the program and an empty data folder beside it.
std::string InstallCopy(const std::string& exe, const std::string& name) {
  const std::string folder = std::string(kBenchRoot) + "\\Run\\" + name;
  CreateFolderTree(folder + "\\data");
  for (const char* file : {"\\data\\startup.txt", "\\data\\sendto.txt", "\\data\\regdata.reg"})
    DeleteFileW(Wide(folder + file).c_str());
  const std::string copy = folder + "\\" + exe.substr(exe.rfind('\\') + 1);
  CopyFileW(Wide(exe).c_str(), Wide(copy).c_str(), FALSE);
  return copy;
}

// ---------------------------------------------------------------------------------------
// One run of each program

struct Figures {
  std::optional<double> ready_s;     // start until the list is filled and answers
  std::optional<double> enumeration_s;  // the raw program: its enumeration alone
  std::optional<double> details_s;   // start until no row waits for its details
  std::optional<double> refresh_s;   // a refresh with nothing changed
  std::optional<double> disable_s;   // disabling one entry, until its list is filled again
  std::optional<double> long_s;      // the page's long command, until its list shows the result
  // The longest the window took to answer the probe: from its showing until every row has
  // its details, during the refresh, and during the disable (the change itself included).
  std::optional<double> wait_start_ms, wait_refresh_ms, wait_disable_ms, wait_long_ms;
  // The blank window's longest wait while it idles for a second: the machine's own stalls.
  std::optional<double> wait_idle_ms;
  size_t peak_bytes = 0;
};

Figures RunSimple(const std::string& exe, const wchar_t* window_class, int list_id, int rows,
                  const std::string& arguments = "") {
  Figures figures;
  Started started = Start(exe, arguments);
  if (!started.pid) return figures;
  HWND window = nullptr;
  const bool ready = PollUntil(
      [&] {
        if (!window) window = VisibleWindow(started.pid, window_class);
        if (!window || !Ask(window, WM_NULL, 0, 0, 5000)) return false;
        if (list_id == 0) return true;
        HWND list = GetDlgItem(window, list_id);
        return list && Ask(list, LB_GETCOUNT).value_or(-1) == rows;
      },
      120);
  if (ready) figures.ready_s = Seconds() - started.at;
  if (ready && list_id == 0) {
    Probe probe(window);
    Sleep(1000);
    figures.wait_idle_ms = probe.Take();
  }
  wchar_t title[64] = {};
  if (window && GetWindowTextW(window, title, 64) && wcsncmp(title, L"raw ", 4) == 0)
    figures.enumeration_s = _wtof(title + 4) / 1000;
  figures.peak_bytes = PeakWorkingSet(started.process.get());
  Close(started, window);
  return figures;
}

Figures RunOrvela(const std::string& exe, const PageBench& page, int rows, bool timed_changes) {
  Figures figures;
  Started started = Start(exe);
  if (!started.pid) return figures;
  HWND window = nullptr;
  PollUntil([&] { return (window = VisibleWindow(started.pid, L"TForm1")) != nullptr; }, 120);
  if (!window) {
    Close(started, nullptr);
    return figures;
  }
  Probe probe(window);
  if (page.open) page.open(window);
  // The pages but the startup page are made when first opened.
  HWND list = nullptr;
  PollUntil([&] { return (list = Control(window, page.page_list_id)) != nullptr; }, 60);
  const int row_height =
      list && !page.list_view ? static_cast<int>(Ask(list, LB_GETITEMHEIGHT, 0).value_or(0)) : 0;
  auto filled = [&](int expected) {
    const ListState state = StateOf(list, row_height, page.list_view);
    return state.rows == expected && !state.visible_waiting;
  };
  auto settled = [&](int expected) {
    const ListState state = StateOf(list, row_height, page.list_view);
    return state.rows == expected && state.waiting == 0 && !state.visible_waiting;
  };
  if (list && PollUntil([&] { return filled(rows); }, 300)) figures.ready_s = Seconds() - started.at;
  if (figures.ready_s && PollUntil([&] { return settled(rows); }, 600))
    figures.details_s = Seconds() - started.at;
  figures.wait_start_ms = probe.Take();

  if (timed_changes && figures.details_s && rows > 0) {
    double start = Seconds();
    if (Ask(window, WM_COMMAND, MAKEWPARAM(kOrvelaRefresh, BN_CLICKED),
            reinterpret_cast<LPARAM>(Control(window, kOrvelaRefresh))) &&
        PollUntil([&] { return settled(rows); }, 300))
      figures.refresh_s = Seconds() - start;
    figures.wait_refresh_ms = probe.Take();
  }
  if (timed_changes && figures.details_s && rows > 0 && page.disable_row) {
    const int row = page.disable_row(rows);
    Ask(list, LB_SETCURSEL, static_cast<WPARAM>(row));
    const double start = Seconds();
    if (Ask(window, WM_COMMAND, MAKEWPARAM(kOrvelaDisable, 0), 0) &&
        PollUntil([&] { return settled(rows - 1); }, 300))
      figures.disable_s = Seconds() - start;
    figures.wait_disable_ms = probe.Take();
  }
  if (timed_changes && figures.details_s && rows > 0 && page.start_long_command) {
    const double start = Seconds();
    if (page.start_long_command(window, list, started.pid) &&
        PollUntil([&] { return settled(page.rows_after(rows)); }, 600))
      figures.long_s = Seconds() - start;
    figures.wait_long_ms = probe.Take();
  }
  probe.Stop();
  figures.peak_bytes = PeakWorkingSet(started.process.get());
  Close(started, window);
  return figures;
}

// ---------------------------------------------------------------------------------------
// Reports

void Row(const char* label, const std::vector<double>& values, double scale = 1, const char* unit = "") {
  if (values.empty()) {
    std::printf("  %-44s %s\n", label, "no figure (timed out)");
    return;
  }
  const Spread s = SpreadOf(values);
  std::printf("  %-44s %10.3f %10.3f %10.3f %s\n", label, s.min * scale, s.median * scale, s.max * scale, unit);
}

template <typename F>
std::vector<double> Collect(const std::vector<Figures>& runs, F field) {
  std::vector<double> values;
  for (const Figures& f : runs)
    if (const std::optional<double> v = field(f)) values.push_back(*v);
  return values;
}

struct SizeResult {
  int size = 0;
  double orvela_peak_median = 0;  // MB
  std::vector<double> to_floor, to_raw, fill_waits_ms, disable_waits_ms, long_waits_ms, refresh_s, disable_s;
};

struct Options {
  std::string page = "startup";
  std::vector<int> sizes;
  int runs = 5;
  std::string orvela, blank, raw, program;
  std::optional<double> full_fill_s;
};

std::optional<double> PeakMegabytes(const Figures& f) {
  if (f.peak_bytes == 0) return std::nullopt;
  return static_cast<double>(f.peak_bytes) / (1024 * 1024);
}

std::vector<double> Divided(const std::vector<double>& values, double by) {
  std::vector<double> ratios;
  for (double v : values) ratios.push_back(v / by);
  return ratios;
}

SizeResult MeasureSize(const Options& options, const PageBench& page, int size) {
  page.clear();
  if (!page.seed(size, options.program)) std::printf("  (some entries could not be made)\n");
  std::vector<Figures> blank, raw, orvela;
  SizeResult result;
  result.size = size;
  for (int run = 0; run < options.runs; ++run) {
    char name[32];
    std::snprintf(name, sizeof name, "orvela-%d-%d", size, run);
    const std::string orvela_copy = InstallCopy(options.orvela, name);
    Figures b, r, o;
    for (int slot = 0; slot < 3; ++slot) {
      switch ((run + slot) % 3) {
        case 0: b = RunSimple(options.blank, L"OrvelaBenchBlank", 0, 0); break;
        case 1: r = RunSimple(options.raw, L"OrvelaBenchRaw", 1, size, page.name); break;
        case 2: o = RunOrvela(orvela_copy, page, size, true); break;
      }
    }
    page.seed(size, options.program);  // brings back what the timed disable took away
    blank.push_back(b);
    raw.push_back(r);
    orvela.push_back(o);
    if (o.ready_s && b.ready_s && r.enumeration_s)
      result.to_floor.push_back(*o.ready_s / (*b.ready_s + *r.enumeration_s));
    if (o.ready_s && r.ready_s) result.to_raw.push_back(*o.ready_s / *r.ready_s);
  }
  for (const Figures& o : orvela) {
    for (const auto& wait : {o.wait_start_ms, o.wait_refresh_ms})
      if (wait) result.fill_waits_ms.push_back(*wait);
    if (o.wait_disable_ms) result.disable_waits_ms.push_back(*o.wait_disable_ms);
    if (o.wait_long_ms) result.long_waits_ms.push_back(*o.wait_long_ms);
  }
  result.refresh_s = Collect(orvela, [](const Figures& f) { return f.refresh_s; });
  result.disable_s = Collect(orvela, [](const Figures& f) { return f.disable_s; });

  std::printf("\n%s page, %d entries, %d runs (order rotated each run)\n", page.name, size, options.runs);
  std::printf("  %-44s %10s %10s %10s\n", "", "min", "median", "max");
  std::printf(" start to a filled list that answers, s\n");
  Row("blank window", Collect(blank, [](const Figures& f) { return f.ready_s; }));
  Row("raw program (window + enumeration)", Collect(raw, [](const Figures& f) { return f.ready_s; }));
  Row("  its enumeration alone", Collect(raw, [](const Figures& f) { return f.enumeration_s; }));
  Row("Orvela (rows in view with their details)", Collect(orvela, [](const Figures& f) { return f.ready_s; }));
  Row("ratio Orvela / (blank + enumeration), per run", result.to_floor);
  Row("ratio Orvela / raw program, per run", result.to_raw);
  std::printf(" Orvela\n");
  Row("start until every row has its details, s", Collect(orvela, [](const Figures& f) { return f.details_s; }));
  std::printf(" longest wait for an answer (20 ms probe), ms\n");
  Row("blank window idling for 1 s (the machine's stalls)", Collect(blank, [](const Figures& f) { return f.wait_idle_ms; }));
  std::printf(" Orvela, longest wait for an answer, ms\n");
  Row("from showing until every row has its details", Collect(orvela, [](const Figures& f) { return f.wait_start_ms; }));
  if (size > 0) {
    Row("during a refresh with nothing changed", Collect(orvela, [](const Figures& f) { return f.wait_refresh_ms; }));
    if (page.disable_row)
      Row("during one disable (the change and its refill)",
          Collect(orvela, [](const Figures& f) { return f.wait_disable_ms; }));
    if (page.long_command) Row(("during " + std::string(page.long_command)).c_str(), result.long_waits_ms);
    std::printf(" Orvela, s\n");
    Row("refresh with nothing changed", result.refresh_s);
    if (page.disable_row) Row("one disable (the run's first change)", result.disable_s);
    if (page.long_command) Row(page.long_command, Collect(orvela, [](const Figures& f) { return f.long_s; }));
    if (options.full_fill_s && page.disable_row) {
      Row("ratio refresh / today's full fill", Divided(result.refresh_s, *options.full_fill_s));
      Row("ratio disable / today's full fill", Divided(result.disable_s, *options.full_fill_s));
    }
  }
  std::printf(" peak working set, MB\n");
  Row("blank window", Collect(blank, PeakMegabytes));
  Row("raw program", Collect(raw, PeakMegabytes));
  const auto orvela_peak = Collect(orvela, PeakMegabytes);
  Row("Orvela", orvela_peak);
  std::fflush(stdout);
  result.orvela_peak_median = SpreadOf(orvela_peak).median;
  return result;
}

// Times and ratios are judged by their median over the runs, each ratio taken within one
// run; a longest wait is judged by its worst, since it must hold for every fill.
void Verdict(const char* what, const std::vector<double>& values, double limit, const char* unit,
             bool by_worst = false) {
  if (values.empty()) {
    std::printf("  %-52s no figure\n", what);
    return;
  }
  const Spread s = SpreadOf(values);
  const double judged = by_worst ? s.max : s.median;
  std::printf("  %-52s median %8.3f  worst %8.3f %-2s (limit %g, %s) %s\n", what, s.median, s.max, unit, limit,
              by_worst ? "worst" : "median", judged <= limit ? "met" : "NOT met");
}

int Measure(const Options& options) {
  const PageBench* page = PageNamed(options.page);
  if (!page || options.sizes.empty() || options.orvela.empty() || options.blank.empty() || options.raw.empty())
    return 2;
  if (options.full_fill_s)
    std::printf("today's full fill (kept figure): %.3f s\n", *options.full_fill_s);
  std::vector<SizeResult> results;
  for (int size : options.sizes) results.push_back(MeasureSize(options, *page, size));
  page->clear();

  const auto none = std::find_if(results.begin(), results.end(), [](const SizeResult& r) { return r.size == 0; });
  std::vector<double> per_entry_kb;
  if (none != results.end()) {
    std::printf("\npeak working set per entry over none (Orvela, medians)\n");
    for (const SizeResult& r : results) {
      if (r.size == 0) continue;
      const double kb = (r.orvela_peak_median - none->orvela_peak_median) * 1024 / r.size;
      std::printf("  %-44s %10.2f kB\n", (std::to_string(r.size) + " entries").c_str(), kb);
      if (&r == &results.back()) per_entry_kb.push_back(kb);
    }
  }

  // The targets, on the largest list of this run. The start and memory limits are the
  // startup page's; the other pages show their figures beside them.
  const SizeResult& largest = results.back();
  const bool startup = std::string(page->name) == "startup";
  std::vector<double> fill_waits, disable_waits, long_waits;
  for (const SizeResult& r : results) {
    fill_waits.insert(fill_waits.end(), r.fill_waits_ms.begin(), r.fill_waits_ms.end());
    disable_waits.insert(disable_waits.end(), r.disable_waits_ms.begin(), r.disable_waits_ms.end());
    long_waits.insert(long_waits.end(), r.long_waits_ms.begin(), r.long_waits_ms.end());
  }
  std::printf("\ntargets (%s page, %d entries)\n", page->name, largest.size);
  if (startup) {
    // A blank window started apart swings too much from run to run to steer by: the raw
    // program, a window and the same enumeration in one process, is the measure.
    Row("start: Orvela / (blank window + raw enumeration)", largest.to_floor, 1, "x (figure)");
    for (const SizeResult& r : results)
      Verdict(("start: Orvela / raw program, " + std::to_string(r.size) + " entries").c_str(), r.to_raw, 1.5, "x");
  } else {
    Row("start: Orvela / (blank window + raw enumeration)", largest.to_floor, 1, "x (figure)");
    Row("start: Orvela / raw program", largest.to_raw, 1, "x (figure)");
  }
  Verdict("longest wait, first fill + details, refreshes", fill_waits, 100, "ms", true);
  if (page->disable_row) Verdict("longest wait during a disable (change + refill)", disable_waits, 100, "ms", true);
  if (page->long_command)
    Verdict(("longest wait " + std::string(page->long_command)).c_str(), long_waits, 100, "ms", true);
  if (!startup) {
    if (!per_entry_kb.empty()) Row("peak working set per entry over none", per_entry_kb, 1, "kB (figure)");
    return 0;
  }
  if (options.full_fill_s) {
    Verdict("refresh with nothing changed / today's full fill", Divided(largest.refresh_s, *options.full_fill_s),
            0.1, "x");
    Verdict("one disable / today's full fill", Divided(largest.disable_s, *options.full_fill_s), 0.1, "x");
  } else {
    std::printf("  (no kept figure of today's full fill: refresh and disable not compared)\n");
  }
  Verdict("peak working set per entry over none", per_entry_kb, 6, "kB");
  return 0;
}

// The program before row details were deferred fills everything at once: its refresh is
// "today's full fill".
int Baseline(const Options& options) {
  const PageBench* page = PageNamed(options.page);
  if (!page || options.sizes.size() != 1 || options.orvela.empty()) return 2;
  const int size = options.sizes[0];
  page->clear();
  page->seed(size, options.program);
  std::vector<Figures> runs;
  for (int run = 0; run < options.runs; ++run) {
    runs.push_back(RunOrvela(InstallCopy(options.orvela, "baseline-" + std::to_string(run)), *page, size, true));
    page->seed(size, options.program);
  }
  page->clear();
  std::printf("\nbaseline: %s page, %d entries, %d runs\n", page->name, size, options.runs);
  std::printf("  %-44s %10s %10s %10s\n", "", "min", "median", "max");
  Row("start to a filled list, s", Collect(runs, [](const Figures& f) { return f.ready_s; }));
  Row("full fill (refresh), s", Collect(runs, [](const Figures& f) { return f.refresh_s; }));
  Row("one disable, s", Collect(runs, [](const Figures& f) { return f.disable_s; }));
  Row("longest wait from showing until filled, ms", Collect(runs, [](const Figures& f) { return f.wait_start_ms; }));
  Row("longest wait during the refresh, ms", Collect(runs, [](const Figures& f) { return f.wait_refresh_ms; }));
  std::printf(" peak working set, MB\n");
  Row("Orvela", Collect(runs, PeakMegabytes));
  const auto refresh = Collect(runs, [](const Figures& f) { return f.refresh_s; });
  if (!refresh.empty()) std::printf("full-fill-seconds %.3f\n", SpreadOf(refresh).median);
  return 0;
}

// The program with a look-up that takes 5 s now and then (bench/slow_lookups.cpp), once: the
// window must still answer within 100 ms from its showing until every row has its details,
// during a refresh and during a disable.
int SlowLookups(const Options& options) {
  const PageBench* page = PageNamed(options.page);
  if (!page || options.sizes.size() != 1 || options.orvela.empty()) return 2;
  const int size = options.sizes[0];
  page->clear();
  page->seed(size, options.program);
  const Figures figures = RunOrvela(InstallCopy(options.orvela, std::string("slow-") + page->name), *page, size, true);
  page->clear();
  std::vector<double> waits;
  for (const std::optional<double>& wait : {figures.wait_start_ms, figures.wait_refresh_ms, figures.wait_disable_ms})
    if (wait) waits.push_back(*wait);
  std::printf("%s page, %d entries, a 5 s look-up every 40: every row's details after %.1f s\n", page->name, size,
              figures.details_s.value_or(-1));
  Verdict("longest wait (showing to details, refresh, disable)", waits, 100, "ms", true);
  return 0;
}

std::vector<int> ParseSizes(const std::string& text) {
  std::vector<int> sizes;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(',', start);
    if (end == std::string::npos) end = text.size();
    sizes.push_back(std::atoi(text.substr(start, end - start).c_str()));
    start = end + 1;
  }
  return sizes;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  CoInitialize(nullptr);
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(Narrow(argv[i]));
  if (args.empty()) return 2;
  const std::string command = args[0];
  if (command == "seed-startup" && args.size() == 3) return SeedStartup(std::atoi(args[1].c_str()), args[2]) ? 0 : 1;
  if (command == "clear-all") {
    ClearAll();
    return 0;
  }
  Options options;
  for (size_t i = 1; i + 1 < args.size(); i += 2) {
    const std::string& key = args[i];
    const std::string& value = args[i + 1];
    if (key == "--page") options.page = value;
    else if (key == "--sizes" || key == "--size") options.sizes = ParseSizes(value);
    else if (key == "--runs") options.runs = std::max(1, std::atoi(value.c_str()));
    else if (key == "--orvela") options.orvela = value;
    else if (key == "--blank") options.blank = value;
    else if (key == "--raw") options.raw = value;
    else if (key == "--program") options.program = value;
    else if (key == "--full-fill") options.full_fill_s = std::atof(value.c_str());
    else return 2;
  }
  if (command == "measure") return Measure(options);
  if (command == "baseline") return Baseline(options);
  if (command == "slow-lookups") return SlowLookups(options);
  return 2;
}
