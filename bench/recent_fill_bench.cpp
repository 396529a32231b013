// How fast the recent-files page fills a Recent folder of many shortcuts, against a bare
// walk of the same folder measured in the same run, and how many rows the first screen
// looks up. Runs in a prefix of its own (bench/recent_bench.sh makes it).
// Arguments: [number of shortcuts, 10000 by default]. Exit code 1 when the fill takes more
// than 1.1 times the walk, the first screen looks up rows it does not show or a state sort
// with the targets known takes more than twice the walk.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <optional>
#include <cstdio>
#include <string>
#include <vector>

#include "app/form1_win.h"
#include "components/shell_link_win.h"
#include "platform/file_io.h"
#include "platform/folders_win.h"
#include "platform/registry_backend_win.h"
#include "platform/scripted_prompt.h"
#include "platform/wide_win.h"
#include "recent/recent_page_win.h"

using namespace orvela;

namespace {

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double Best(const std::vector<double>& values) { return *std::min_element(values.begin(), values.end()); }

// The same enumeration the fill uses, doing nothing with what it finds.
size_t BareWalk(const std::wstring& folder) {
  WIN32_FIND_DATAW found{};
  HANDLE find = FindFirstFileExW((folder + L"\\*.lnk").c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                                 nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (find == INVALID_HANDLE_VALUE) return 0;
  size_t count = 0;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++count;
  } while (FindNextFileW(find, &found));
  FindClose(find);
  return count;
}

// The least a state sort that reads every shortcut can take: each file opened and closed,
// nothing read, one after another.
double OpenEveryFile(const std::wstring& folder) {
  std::vector<std::wstring> paths;
  WIN32_FIND_DATAW found{};
  HANDLE find = FindFirstFileW((folder + L"\\*.lnk").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return 0;
  do paths.push_back(folder + L"\\" + found.cFileName);
  while (FindNextFileW(find, &found));
  FindClose(find);
  const double start = Now();
  for (const std::wstring& path : paths)
    CloseHandle(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  return Now() - start;
}

size_t LinkFiles(const std::string& folder) { return BareWalk(Wide(folder)); }

// The target of shortcut i, in a folder beside the Recent folder; every tenth (9, 19, ...) is missing.
std::string TargetOf(const std::string& folder, size_t i) {
  char digits[8];
  std::snprintf(digits, sizeof digits, "%05zu", i);
  return folder + "\\..\\bench-targets\\target-" + digits + ".txt";
}

// Every occurrence of `from` in `bytes`, as ANSI and as UTF-16, becomes `to` (as long).
void ReplaceDigits(std::string& bytes, const std::string& from, const std::string& to) {
  std::string wide_from, wide_to;
  for (size_t k = 0; k < from.size(); ++k) wide_from += {from[k], '\0'}, wide_to += {to[k], '\0'};
  for (const auto& [old_text, new_text] : {std::pair{from, to}, std::pair{wide_from, wide_to}})
    for (size_t at = bytes.find(old_text); at != std::string::npos; at = bytes.find(old_text, at + 1))
      bytes.replace(at, old_text.size(), new_text);
}

// Real shortcuts: one made by the shell, copied under numbered names with the number in
// its target made the copy's own (so a state sort asks for as many targets as a real folder
// does), with spread times.
bool Seed(const std::string& folder, size_t count) {
  CreateFolderTree(folder);
  const std::string targets = folder + "\\..\\bench-targets";
  if (LinkFiles(folder) == count && GetFileAttributesW(Wide(TargetOf(folder, 1)).c_str()) != INVALID_FILE_ATTRIBUTES &&
      GetFileAttributesW(Wide(TargetOf(folder, 9)).c_str()) == INVALID_FILE_ATTRIBUTES)
    return true;
  WIN32_FIND_DATAW found{};
  HANDLE find = FindFirstFileW(Wide(folder + "\\*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do DeleteFileW(Wide(folder + "\\").append(found.cFileName).c_str());
    while (FindNextFileW(find, &found));
    FindClose(find);
  }
  CreateFolderTree(targets);
  for (size_t i = 0; i < count; ++i) {
    if (i % 10 == 9) {
      DeleteFileW(Wide(TargetOf(folder, i)).c_str());
      continue;
    }
    HANDLE file = CreateFileW(Wide(TargetOf(folder, i)).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(file);
  }
  TShellLink links;
  const std::string model_path = links.CreateLink2(TargetOf(folder, 0), nullptr, folder, "model", true);
  const std::optional<std::string> model = model_path.empty() ? std::nullopt : ReadWholeFile(model_path);
  DeleteFileW(Wide(model_path).c_str());
  if (!model) return false;
  FILETIME time{};
  GetSystemTimeAsFileTime(&time);
  for (size_t i = 0; i < count; ++i) {
    std::string bytes = *model;
    char digits[8];
    std::snprintf(digits, sizeof digits, "%05zu", i);
    ReplaceDigits(bytes, "target-00000", std::string("target-") + digits);
    HANDLE copy = CreateFileW(Wide(folder + "\\文書 " + std::to_string(i) + ".txt.lnk").c_str(), GENERIC_WRITE, 0,
                              nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written_bytes = 0;
    const bool wrote = WriteFile(copy, bytes.data(), static_cast<DWORD>(bytes.size()), &written_bytes, nullptr);
    ULARGE_INTEGER t{{time.dwLowDateTime, time.dwHighDateTime}};
    t.QuadPart -= static_cast<ULONGLONG>(i % 5000) * 600000000ULL;  // a minute apart
    const FILETIME written{t.LowPart, t.HighPart};
    SetFileTime(copy, nullptr, nullptr, &written);
    CloseHandle(copy);
    if (!wrote) return false;
  }
  return LinkFiles(folder) == count;
}

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const size_t count = argc > 1 ? static_cast<size_t>(_wtoi(argv[1])) : 10000;
  CoInitialize(nullptr);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  ScriptedPrompt prompt;
  Win32Registry registry;
  FormServices services = RealFormServices(prompt, registry);
  const std::string recent = services.shell_folders.recent;
  // The first state sort of the run must read every shortcut: none is known from a run before.
  DeleteFileW(Wide(KnownTargetsFile()).c_str());
  std::printf("seeding %zu shortcuts in the Recent folder...\n", count);
  if (!Seed(recent, count)) {
    std::printf("could not make the shortcuts\n");
    return 2;
  }

  TForm1 form(services);
  form.Show(SW_SHOWNORMAL);
  form.SpeedButton9Click(kRecentPage);  // the page as a user opens it, once to warm the caches
  Pump();
  RecentPage& page = form.recent_page();
  if (page.rows().size() != count) {
    std::printf("the page shows %zu rows, not %zu\n", page.rows().size(), count);
    return 2;
  }

  // Alternating runs, so all see the same state of the file system's caches: a walk, a
  // refill as the refresh button does it, and a fill coming from the programs page (the
  // list changes its length).
  const std::wstring folder = Wide(recent);
  std::vector<double> walks, refills, switches;
  for (int run = 0; run < 15; ++run) {
    // Half the runs walk first, half fill first: neither gains from going second.
    size_t walked = 0;
    auto walk = [&] {
      const double start = Now();
      walked = BareWalk(folder);
      walks.push_back(Now() - start);
    };
    if (run % 2 == 0) walk();
    double start = Now();
    page.FillRecentList();
    refills.push_back(Now() - start);
    if (run % 2 == 1) walk();
    Pump();
    page.FillProgramsList();
    Pump();
    start = Now();
    page.FillRecentList();
    switches.push_back(Now() - start);
    if (walked != count || page.rows().size() != count) return 2;
    Pump();
  }

  // The first screen after a fill: only the rows it shows are looked up.
  page.FillRecentList();
  const size_t before = page.rows_looked_up();
  double start = Now();
  UpdateWindow(page.ListView2);
  Pump();
  const double first_paint = Now() - start;
  const size_t looked_up = page.rows_looked_up() - before;
  const int visible = ListView_GetCountPerPage(page.ListView2) + 1;  // a part-shown last row counts

  // Sorting by state looks up every other row on the worker, the window answering meanwhile:
  // first reading every shortcut, then (the next fill, or the next run) with their targets
  // known, only asking whether each target is there.
  start = Now();
  page.ListView2ColumnClick(2);
  const double state_sort = Now() - start;
  std::vector<double> known_sorts;
  for (int run = 0; run < 5; ++run) {
    page.FillRecentList();
    UpdateWindow(page.ListView2);
    page.icons().FetchAll();  // the refill's first screen, as a user sees it before the click
    start = Now();
    page.ListView2ColumnClick(2);
    known_sorts.push_back(Now() - start);
  }
  const double known_sort = Best(known_sorts);
  size_t broken = 0;
  for (const RecentRow& row : page.rows().rows) broken += row.state == LinkState::kBroken ? 1 : 0;
  const double opened = OpenEveryFile(folder);

  // The best of each is the least disturbed by other work on the machine; the medians show
  // how much that was.
  const double walk = Best(walks), refill = Best(refills), switched = Best(switches);
  const double worst = std::max(refill, switched) / walk;
  std::printf("shortcuts                      %zu\n", count);
  std::printf("                               best of 15     median\n");
  std::printf("bare folder walk               %7.1f ms   %7.1f ms\n", walk, Median(walks));
  std::printf("refill, same length            %7.1f ms   %7.1f ms   (best %.3f x walk)\n", refill,
              Median(refills), refill / walk);
  std::printf("fill coming from another page  %7.1f ms   %7.1f ms   (best %.3f x walk)\n", switched,
              Median(switches), switched / walk);
  std::printf("target                         fill <= 1.100 x walk\n");
  std::printf("first screen                   %zu rows looked up, %d rows fit (%.1f ms)\n", looked_up, visible,
              first_paint);
  std::printf("state sort, shortcuts unread   %.0f ms   (%.2f x walk)\n", state_sort, state_sort / walk);
  std::printf("every shortcut opened, closed  %.0f ms   (%.2f x walk; the least a sort reading them takes)\n",
              opened, opened / walk);
  std::printf("state sort, targets known      %.1f ms   %.1f ms   (best of 5, %.2f x walk; target <= 2; %zu broken)\n",
              known_sort, Median(known_sorts), known_sort / walk, broken);
  const bool ok = worst <= 1.1 && looked_up <= static_cast<size_t>(visible) && known_sort <= 2 * walk;
  std::printf("%s\n", ok ? "within target" : "OVER TARGET");
  CoUninitialize();
  return ok ? 0 : 1;
}
