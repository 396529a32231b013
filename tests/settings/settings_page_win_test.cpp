// The Windows-settings page in the main window of this process, on the real registry of the
// test prefix: the values seeded as a Windows XP machine has them, the controls changed the
// way the user changes them, the registry and "data\windata.ini" read back.
#include <doctest.h>

#include "settings/settings_page_win.h"

#include <commctrl.h>

#include <algorithm>
#include <functional>

#include "app/form1_win.h"
#include "platform/file_io.h"
#include "platform/registry_backend_win.h"
#include "platform/scripted_prompt.h"
#include "platform/wide_win.h"
#include "settings/settings_test_support.h"
#include "settings/tuning_seed.h"

using namespace orvela;
using namespace orvela::testing;

namespace {

class RecordingLaunch : public LaunchPort {
 public:
  bool Run(std::string_view program, std::string_view parameters) override {
    runs.push_back(std::string(program) + " " + std::string(parameters));
    return true;
  }
  bool OpenWebPage(std::string_view address) override {
    pages.emplace_back(address);
    return true;
  }
  std::vector<std::string> runs, pages;
};

struct PageFixture {
  ScriptedPrompt prompt;
  Win32Registry registry;
  RecordingLaunch launch;
  RecordingRestart restart;
  std::unique_ptr<TForm1> form;
  SettingsPage* page = nullptr;
  std::string ini;

  explicit PageFixture(const std::function<void(RegistryBackend&)>& adjust = {}) {
    static bool common_controls = [] {
      INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES};
      return InitCommonControlsEx(&controls) != FALSE;
    }();
    (void)common_controls;
    SeedTuningValues(registry);
    if (adjust) adjust(registry);
    FormServices services = RealFormServices(prompt, registry);
    services.version = {true, 5, 1};  // XP: the page has its tab
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    services.program_folder = Narrow(temp) + "orvela-settings-page\\";
    DeleteFileAt(services.program_folder + "data\\windata.ini");
    form = std::make_unique<TForm1>(services);
    form->Show(SW_SHOWNORMAL);
    form->SpeedButton9Click(kSettingsPage);
    page = &form->settings_page();
    page->SetPorts(&launch, &restart);
    ini = form->paths().settings_backup;
  }
  ~PageFixture() {
    form.reset();
    DeleteFileAt(ini);
    RemoveTuningValues(registry);
  }

  std::optional<RegistryValue> Machine(std::string_view path, std::string_view name) {
    return Get(registry, RootKey::kLocalMachine, path, name);
  }
  std::optional<RegistryValue> User(std::string_view path, std::string_view name) {
    return Get(registry, RootKey::kCurrentUser, path, name);
  }
  std::optional<std::string> Recorded(std::string_view section, std::string_view name) {
    return ReadBackupFile(ini).text.Find(section, name);
  }
};

std::string Text(HWND control) {
  wchar_t text[512] = {};
  GetWindowTextW(control, text, 512);
  return Narrow(text);
}

// What the user does: typing (the edit says EN_CHANGE), clicking, choosing in a list.
void Type(HWND edit, const std::string& text) { SetWindowTextW(edit, Wide(text).c_str()); }
void Click(HWND button) { SendMessageW(button, BM_CLICK, 0, 0); }
void Choose(HWND combo, int index) {
  SendMessageW(combo, CB_SETCURSEL, index, 0);
  SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
}
bool Checked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

bool PumpUntil(const std::function<bool()>& condition, DWORD ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (condition()) return true;
    if (GetTickCount() - start > ms) return false;
    Sleep(20);
  }
}

// The apply button as the user meets it: enabled by Timer3 within a tick, then clicked.
void Apply(HWND button) {
  REQUIRE(PumpUntil([&] { return IsWindowEnabled(button) != FALSE; }, 1500));
  Click(button);
}

constexpr char kDesktopSection[] = "HKEY_CURRENT_USER\\Control Panel\\Desktop";
constexpr char kSubSystemsSection[] =
    "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Session Manager\\SubSystems";
constexpr char kLanmanSection[] = "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\lanmanserver\\parameters";

}  // namespace

TEST_CASE("memory sheet: filled from the registry, only the marked groups written") {
  PageFixture f;
  SettingsPage& p = *f.page;
  CHECK_FALSE(Checked(p.CheckBox1));
  CHECK(Checked(p.CheckBox2));
  CHECK(Text(p.Label27) == "512.00KB");
  CHECK((Text(p.Edit6) + "," + Text(p.Edit7) + "," + Text(p.Edit8)) == "1024,3072,512");
  CHECK(Text(p.Edit9) == "15");
  CHECK(p.MemoryChangeMask == 0);
  CHECK_FALSE(IsWindowEnabled(p.UpDateBtn1));
  CHECK_FALSE(f.form->SpeedButton7.visible());  // no backup yet

  SUBCASE("SharedSection's middle number changes in place: same tokens, same blanks, no trailing blank") {
    Type(p.Edit7, "3328");
    Apply(p.UpDateBtn1);
    std::string expected = kWindowsValue;
    expected.replace(expected.find("1024,3072,512"), 13, "1024,3328,512");
    CHECK(f.Machine(kSubSystemsKey, "Windows") == TextValue(expected, kRegExpandSz));
    CHECK(f.Recorded(kSubSystemsSection, "Windows") == "2" + std::string(kWindowsValue));
    CHECK(f.form->SpeedButton7.visible());
    CHECK(f.form->SpeedButton7.caption() == "復元");
  }
  SUBCASE("the up-down steps Edit9, and IRPStackSize alone is written") {
    SendMessageW(p.Edit9, WM_KEYDOWN, VK_UP, 0);  // the up-down's arrow key: one step
    SendMessageW(p.Edit9, WM_KEYUP, VK_UP, 0);
    CHECK(Text(p.Edit9) == "16");
    Apply(p.UpDateBtn1);
    CHECK(f.Machine(kLanmanKey, "IRPStackSize") == DwordValue(16));
    CHECK(f.Recorded(kLanmanSection, "IRPStackSize") == "315");
    CHECK_FALSE(f.Recorded(kSubSystemsSection, "Windows"));
    CHECK(p.MemoryChangeMask == 0);
  }
  SUBCASE("a SharedSection changed since the fill: the page shows it afresh") {
    Put(f.registry, RootKey::kLocalMachine, kSubSystemsKey, "Windows", TextValue("SharedSection=1,2,3", kRegExpandSz));
    Type(p.Edit7, "3328");
    Apply(p.UpDateBtn1);
    CHECK(Text(p.Edit6) + Text(p.Edit7) + Text(p.Edit8) == "123");
  }
  SUBCASE("512MB: Edit3 and Label27 follow, the apply button within a tick; typing leaves Label27") {
    Choose(p.ComboBox4, 3);
    CHECK(Text(p.Edit3) == "2097152");
    CHECK(Text(p.Label27) == "2.00MB");
    CHECK(PumpUntil([&] { return IsWindowEnabled(p.UpDateBtn1) != FALSE; }, 1500));
    Type(p.Edit3, "123");
    CHECK(Text(p.Label27) == "2.00MB");
    CHECK(p.MemoryChangeMask == 1u << 2);
  }
}

TEST_CASE("other sheet: priority fields, link bytes, and a field outside its range") {
  PageFixture f;
  SettingsPage& p = *f.page;
  p.ShowSheet(SettingsPage::kOtherSheet);
  const RootKey lm = RootKey::kLocalMachine;

  SUBCASE("38 shows the last items and is written back as 38; 63 is written back as 42") {
    CHECK(Checked(p.RadioItems[0][2]));
    CHECK(Checked(p.RadioItems[1][1]));
    CHECK(Checked(p.RadioItems[2][2]));
    Click(p.RadioItems[1][1]);  // chosen again: the group is marked, nothing changed
    Apply(p.UpDateBtn2);
    CHECK(f.Machine(kPriorityKey, "Win32PrioritySeparation") == DwordValue(38));
    Put(f.registry, lm, kPriorityKey, "Win32PrioritySeparation", DwordValue(63));
    f.form->RefreshPage(true);
    for (int g = 0; g < 3; ++g) CHECK(Checked(p.RadioItems[g][2]));
    Click(p.RadioItems[0][2]);
    Apply(p.UpDateBtn2);
    CHECK(f.Machine(kPriorityKey, "Win32PrioritySeparation") == DwordValue(42));
  }
  SUBCASE("link 1B 00 00 00 shows unchecked; checking it writes 00 00 00 00") {
    CHECK_FALSE(Checked(p.CheckBox5));
    Click(p.CheckBox5);
    Apply(p.UpDateBtn2);
    CHECK(f.User(kExplorerKey, "link") == RegistryValue{kRegBinary, {0, 0, 0, 0}});
    CHECK(f.Recorded("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer", "link") == "427");
  }
  SUBCASE("a number outside its range is not written, the user is told which, the group stays marked") {
    Type(p.Edit1, "1001");
    Apply(p.UpDateBtn2);
    CHECK(f.User(kDesktopKey, "MenuShowDelay") == TextValue("400"));
    CHECK(f.prompt.messages() == std::vector<std::string>{FieldNumberMessage(kMenuDelayField, "1001")});
    CHECK(p.OtherChangeMask == 1u);
    CHECK(IsWindowEnabled(p.UpDateBtn2));
  }
}

TEST_CASE("restore: first values only, absent values absent again, then the restart question") {
  PageFixture f;
  SettingsPage& p = *f.page;
  p.ShowSheet(SettingsPage::kOtherSheet);
  Type(p.Edit1, "100");
  Click(p.CheckBox4);  // NoResolveTrack, which did not exist
  Apply(p.UpDateBtn2);
  Type(p.Edit1, "0");
  Apply(p.UpDateBtn2);
  CHECK(f.User(kDesktopKey, "MenuShowDelay") == TextValue("0"));
  CHECK(f.User(kPoliciesKey, "NoResolveTrack") == DwordValue(1));
  CHECK(f.Recorded(kDesktopSection, "MenuShowDelay") == "1400");
  CHECK(f.Recorded("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer",
                   "NoResolveTrack") == "0");
  CHECK(f.form->SpeedButton7.visible());

  f.prompt.AnswerYes();  // restore
  f.prompt.AnswerNo();   // no restart
  f.form->SpeedButton7Click();
  CHECK(f.User(kDesktopKey, "MenuShowDelay") == TextValue("400"));
  CHECK_FALSE(f.User(kPoliciesKey, "NoResolveTrack"));
  CHECK(ReadFileIfPresent(f.ini).status == FileRead::Status::kMissing);
  CHECK(Text(p.Edit1) == "400");  // the page was read again
  CHECK_FALSE(Checked(p.CheckBox4));
  CHECK_FALSE(f.form->SpeedButton7.visible());
  REQUIRE(f.prompt.shown().size() == 2);
  CHECK(f.prompt.shown()[0].text == kRestoreQuestion);
  CHECK(f.prompt.shown()[1].text == kRestartQuestion);
  CHECK(f.prompt.shown()[1].caption == "再起動の確認");
  CHECK(f.restart.restarts == 0);
}

TEST_CASE("network sheet: cards and their MTU, RWIN, the ping and the speed-test page") {
  PageFixture f;
  SettingsPage& p = *f.page;
  p.ShowSheet(SettingsPage::kNetworkSheet);
  REQUIRE(SendMessageW(p.ComboBox3, CB_GETCOUNT, 0, 0) == 2);
  const std::string with_mtu = std::string(kTcpipKey) + "\\Interfaces\\" + kCardWithMtu;
  const std::string without_mtu = std::string(kTcpipKey) + "\\Interfaces\\" + kCardWithoutMtu;
  CHECK(Text(p.Edit17) == "64240");
  CHECK_FALSE(IsWindowEnabled(p.Button3));
  CHECK_FALSE(IsWindowEnabled(p.Button4));

  SUBCASE("a card without MTU: 1460; speed 100, latency 20 give 362000, written with MTU 1448") {
    Choose(p.ComboBox3, 1);  // the keys are listed as they sort: "2" then "3"
    CHECK(Text(p.Edit18) == kCardWithoutMtu);
    CHECK(Text(p.Edit12) == "1460");
    CHECK(Text(p.Edit16) == "1460");
    Type(p.Edit14, "20");
    Type(p.Edit15, "100");
    CHECK(IsWindowEnabled(p.Button3));
    Click(p.Button3);
    CHECK(Text(p.Edit17) == "362000");
    Click(p.Button4);
    CHECK(f.Machine(kTcpipKey, "TcpWindowSize") == DwordValue(362000));
    CHECK(f.Machine(without_mtu, "MTU") == DwordValue(1448));
    CHECK(f.prompt.messages() == std::vector<std::string>{"MTU=1460\nRWIN=362000\n\n上記の値を設定しました。"});
    CHECK(f.prompt.shown().back().icon == PromptIcon::kInformation);
    CHECK_FALSE(IsWindowEnabled(p.Button4));
    CHECK(f.Recorded("HKEY_LOCAL_MACHINE\\" + without_mtu, "MTU") == "0");
  }
  SUBCASE("a card with MTU 1500 shows 1512 and keeps 1500; an RWIN of 1234.5 is written as 1234") {
    Choose(p.ComboBox3, 0);
    CHECK(Text(p.Edit12) == "1512");
    CHECK(Text(p.Edit16) == "1512");
    Type(p.Edit14, "1");
    Type(p.Edit15, "1");
    Click(p.Button3);
    Type(p.Edit17, "1234.5");
    Click(p.Button4);
    CHECK(f.Machine(kTcpipKey, "TcpWindowSize") == DwordValue(1234));
    CHECK(f.Machine(with_mtu, "MTU") == DwordValue(1500));
  }
  SUBCASE("ping: the www part and the slash go, the host is listed once, unsafe text starts nothing") {
    Type(p.ComboBox5, "www.example.co.jp/");
    Click(p.Button1);
    Type(p.ComboBox5, "www.example.co.jp/");
    Click(p.Button1);
    CHECK(f.launch.runs == std::vector<std::string>(2, "cmd.exe /k ping -f -l 1460 example.co.jp"));
    CHECK(Text(p.ComboBox5) == "example.co.jp");
    CHECK(std::count(f.form->settings().ping_targets.begin(), f.form->settings().ping_targets.end(),
                     "example.co.jp") == 1);
    CHECK(SendMessageW(p.ComboBox5, CB_GETCOUNT, 0, 0) == static_cast<LRESULT>(f.form->settings().ping_targets.size()));
    Type(p.ComboBox5, "wwwhost");
    Click(p.Button1);
    Type(p.ComboBox5, "example.jp&calc");
    Click(p.Button1);
    CHECK(f.launch.runs.size() == 2);
    CHECK(f.prompt.messages().size() == 1);
  }
  SUBCASE("the speed-test page goes to the launch port as typed") {
    Type(p.Edit10, "https://speed.example.jp/");
    Click(p.Button2);
    CHECK(f.launch.pages == std::vector<std::string>{"https://speed.example.jp/"});
    CHECK(f.form->settings().speed_test_page == "https://speed.example.jp/");
  }
}
