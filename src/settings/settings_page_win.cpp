#include "settings/settings_page_win.h"

#include <commctrl.h>

#include <algorithm>

#include "window/controls_win.h"
#include "platform/app_title.h"
#include "platform/kept_focus_win.h"
#include "platform/guarded_call_win.h"
#include "platform/wide_win.h"
#include "regfile/registry_accessor.h"

namespace orvela {
namespace {

constexpr UINT_PTR kTimer3 = 3;
constexpr wchar_t kPageProperty[] = L"OrvelaSettingsPage";
constexpr int kEditHeight = 21;

std::string TextOf(HWND control) {
  const int length = GetWindowTextLengthW(control);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  GetWindowTextW(control, text.data(), length + 1);
  text.resize(static_cast<size_t>(length));
  return Narrow(text);
}

void SetText(HWND control, const std::string& text) { SetWindowTextW(control, Wide(text).c_str()); }

bool Checked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void CALLBACK Timer3Proc(HWND window, UINT, UINT_PTR, DWORD) {
  GuardedCall(window, [&] {
    if (auto* page = static_cast<SettingsPage*>(GetPropW(window, kPageProperty))) page->Timer3Timer();
  });
}

}  // namespace

// Nothing here may make a control report a change: the frame routes reports to every page,
// and this one is not in its list yet. Texts are given at creation.
SettingsPage::SettingsPage(PageHost& host, HWND sheet) : host_(host), sheet_(sheet) {
  SetPropW(sheet_, kPageProperty, this);
  PageControl2 = CreateChild(WC_TABCONTROLW, L"", WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS, sheet_, kIdPageControl2);
  SetControlFont(PageControl2, host_.ui_font());
  // The network page's tab is hidden: only "メモリ" and "その他" have tabs.
  for (const char* caption : {"メモリ", "その他"}) {
    std::wstring text = Wide(caption);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text.data();
    SendMessageW(PageControl2, TCM_INSERTITEMW, TabCtrl_GetItemCount(PageControl2), reinterpret_cast<LPARAM>(&item));
  }
  // The sheets paint under their group boxes, which draw only their frames: clipping the
  // boxes out would leave whatever was on the screen there before.
  for (HWND* panel : {&TabSheet5, &TabSheet7, &TabSheet6}) {
    *panel = CreatePanel(sheet_);
    SetWindowLongW(*panel, GWL_STYLE, GetWindowLongW(*panel, GWL_STYLE) & ~WS_CLIPCHILDREN);
  }
  CreateMemorySheet();
  CreateNetworkSheet();
  CreateOtherSheet();
  own_launch_ = std::make_unique<Win32Launch>(host_.window());
  own_restart_ = std::make_unique<Win32Restart>(host_.prompt());
  launch_ = own_launch_.get();
  restart_ = own_restart_.get();
  ShowSheet(kMemorySheet);
}

SettingsPage::~SettingsPage() {
  if (IsWindow(sheet_)) {
    KillTimer(sheet_, kTimer3);
    RemovePropW(sheet_, kPageProperty);
  }
}

void SettingsPage::SetPorts(LaunchPort* launch, RestartPort* restart) {
  launch_ = launch ? launch : own_launch_.get();
  restart_ = restart ? restart : own_restart_.get();
}

// ---------------------------------------------------------------------------------------
// Controls

HWND SettingsPage::Make(HWND parent, const wchar_t* cls, const std::string& text, DWORD style, int x, int y, int w,
                        int h, DWORD ex_style) {
  const Dpi dpi = host_.dpi();
  HWND control = CreateChild(cls, Wide(text).c_str(), WS_VISIBLE | style, parent, next_id_++, ex_style);
  SetWindowPos(control, nullptr, dpi.Scale(x), dpi.Scale(y), dpi.Scale(w), dpi.Scale(h), SWP_NOZORDER);
  SetControlFont(control, host_.ui_font());
  return control;
}

HWND SettingsPage::MakeLabel(HWND parent, const std::string& text, int x, int y, int w, int h) {
  return Make(parent, WC_STATICW, text, SS_LEFT | SS_NOPREFIX, x, y, w, h);
}

HWND SettingsPage::MakeEdit(HWND parent, int x, int y, int w, bool read_only, const std::string& text) {
  return Make(parent, WC_EDITW, text, WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL | (read_only ? ES_READONLY : 0), x, y, w,
              kEditHeight, WS_EX_CLIENTEDGE);
}

HWND SettingsPage::MakeSpinner(HWND parent, HWND edit, const NumberField& field, int step) {
  // The buddy is not set as an integer: the edit keeps what was stored or typed, and the
  // arrows step from its number (UDN_DELTAPOS).
  HWND updown = CreateChild(UPDOWN_CLASSW, L"", WS_VISIBLE | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS |
                                                    UDS_HOTTRACK,
                            parent, 0);
  SendMessageW(updown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit), 0);
  SendMessageW(updown, UDM_SETRANGE32, static_cast<WPARAM>(field.min), static_cast<LPARAM>(field.max));
  UDACCEL accel{0, static_cast<UINT>(step)};
  SendMessageW(updown, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
  spinners_.push_back({updown, edit, field, step});
  return updown;
}

HWND SettingsPage::MakeCheck(HWND parent, const std::string& text, int x, int y, int w) {
  return Make(parent, WC_BUTTONW, text, WS_TABSTOP | WS_GROUP | BS_AUTOCHECKBOX, x, y, w, 20);
}

HWND SettingsPage::MakeButton(HWND parent, const std::string& text, int x, int y, int w, int h) {
  return Make(parent, WC_BUTTONW, text, WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON, x, y, w, h);
}

void SettingsPage::Tag(HWND control, Sheet sheet, int tag) { tagged_.push_back({control, sheet, tag}); }

void SettingsPage::CreateMemorySheet() {
  HWND p = TabSheet5;
  CheckBox1 = MakeCheck(p, "アプリケーション起動用メモリを開放する ", 12, 10, 360);
  CheckBox2 = MakeCheck(p, "カーネルをメモリに配置する", 12, 34, 360);
  MakeLabel(p, "デバイスドライバが使用できるメモリサイズの設定", 12, 66, 276);
  Edit3 = MakeEdit(p, 290, 63, 90);
  ComboBox4 = Make(p, WC_COMBOBOXW, "", WS_TABSTOP | WS_GROUP | WS_VSCROLL | CBS_DROPDOWNLIST, 386, 63, 76, 200);
  for (std::string_view preset : kLockLimitPresets)
    SendMessageW(ComboBox4, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(preset).c_str()));
  Label27 = MakeLabel(p, "", 470, 66, 110);
  MakeLabel(p, "アイコンキャッシュのサイズ", 12, 98, 276);
  Edit11 = MakeEdit(p, 290, 95, 70);
  UpDown8 = MakeSpinner(p, Edit11, kCachedIconsField, 64);
  Make(p, WC_BUTTONW, "リソース容量の設定 ", BS_GROUPBOX | WS_GROUP, 8, 128, 580, 92);
  MakeLabel(p, "デスクトップアプリケーションヒープ", 20, 152, 264);
  Edit6 = MakeEdit(p, 290, 149, 60, true);
  Edit7 = MakeEdit(p, 356, 149, 70);
  UpDown5 = MakeSpinner(p, Edit7, kHeapField, 256);
  Edit8 = MakeEdit(p, 432, 149, 60, true);
  MakeLabel(p, "IRPStackSize", 20, 184, 264);
  Edit9 = MakeEdit(p, 290, 181, 70);
  UpDown6 = MakeSpinner(p, Edit9, kIrpStackField, 1);
  UpDateBtn1 = MakeButton(p, "適用", 508, 232, 80);
  EnableWindow(UpDateBtn1, FALSE);

  for (HWND c : {CheckBox1, CheckBox2, Edit3, Edit11}) Tag(c, kMemorySheet, c == CheckBox1 ? 0 : c == CheckBox2 ? 1 : c == Edit3 ? 2 : 3);
  for (HWND c : {Edit6, Edit7, Edit8, Edit9}) Tag(c, kMemorySheet, 4);
  host_.SetHint(CheckBox1, "チェックすれば開放するが、動作が遅くなる場合もある");
  host_.SetHint(CheckBox2, "チェックなら、全てのカーネルをページプールに常駐させる");
  host_.SetHint(Edit3, "メモリの搭載量が512MB以上なら2,000,000～4,000,000程度に設定");
  host_.SetHint(ComboBox4, "搭載メモリサイズを選択して設定する");
  for (HWND c : {Edit11, UpDown8}) host_.SetHint(c, "100～4096バイト、推奨値(2048)");
  for (HWND c : {Edit7, UpDown5}) host_.SetHint(c, "推奨値は、初期値3072に（512）を加えた値");
  for (HWND c : {Edit9, UpDown6}) host_.SetHint(c, "11～50 推奨値（15）");
}

void SettingsPage::CreateOtherSheet() {
  HWND p = TabSheet6;
  MakeLabel(p, "メニューが開くまでの時間", 12, 13, 220);
  Edit1 = MakeEdit(p, 236, 10, 70);
  SetWindowLongPtrW(Edit1, GWLP_ID, kIdEdit1);
  UpDown3 = MakeSpinner(p, Edit1, kMenuDelayField, 10);
  MakeLabel(p, "ウィンドウが開閉するまでの時間", 12, 41, 220);
  Edit2 = MakeEdit(p, 236, 38, 70);
  UpDown4 = MakeSpinner(p, Edit2, kMinAnimateField, 10);
  Make(p, WC_BUTTONW, "エラー表示がでるまでの時間の変更 ", BS_GROUPBOX | WS_GROUP, 8, 68, 316, 180);
  CheckBox3 = MakeCheck(p, "自動終了する ", 20, 88, 290);
  MakeLabel(p, "応答待ちダイアログが表示されるまでの時間", 20, 116, 296);
  Edit4 = MakeEdit(p, 236, 134, 70);
  UpDown1 = MakeSpinner(p, Edit4, kHungTimeoutField, 100);
  MakeLabel(p, "終了出来ないアプリケーションのダイアログが表示されるまでの時間", 20, 164, 296, 30);
  Edit5 = MakeEdit(p, 236, 198, 70);
  UpDown2 = MakeSpinner(p, Edit5, kKillTimeoutField, 100);

  HWND cpu = Make(p, WC_BUTTONW, "CPUの優先度の変更 ", BS_GROUPBOX | WS_GROUP, 332, 4, 296, 196);
  struct Group {
    const char* caption;
    std::array<const char*, 3> items;
    int x, y, w;
  };
  const Group groups[] = {
      {"CPU占有時間の比率", {"For : Back = 1 : 1 （default）", "For : Back = 2 : 1", "For : Back = 3 : 1 *"}, 342, 22, 276},
      {"占有時間の可変", {"デフォルト", "可変 *", "固定"}, 342, 104, 136},
      {"スレッドの切り替え間隔", {"デフォルト", "長い", "短い *"}, 482, 104, 136},
  };
  HWND* boxes[] = {&RadioGroup1, &RadioGroup2, &RadioGroup3};
  for (int g = 0; g < 3; ++g) {
    const Group& group = groups[g];
    *boxes[g] = Make(p, WC_BUTTONW, group.caption, BS_GROUPBOX | WS_GROUP, group.x, group.y, group.w, g == 0 ? 78 : 88);
    for (int i = 0; i < 3; ++i) {
      // The first button starts the group the arrow keys move in.
      const DWORD style = BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP | WS_TABSTOP : 0);
      RadioItems[g][i] = Make(p, WC_BUTTONW, group.items[i], style, group.x + 10, group.y + 18 + i * 20, group.w - 16, 18);
      Tag(RadioItems[g][i], kOtherSheet, 3);
    }
  }
  CheckBox4 = MakeCheck(p, "不明なショートカットを検索しない", 336, 208, 292);
  CheckBox5 = MakeCheck(p, "～へのショートカットをファイル名に付加しない", 336, 230, 292);
  UpDateBtn2 = MakeButton(p, "適用", 548, 258, 80);
  SetWindowLongPtrW(UpDateBtn2, GWLP_ID, kIdUpDateBtn2);
  EnableWindow(UpDateBtn2, FALSE);

  Tag(Edit1, kOtherSheet, 0);
  Tag(Edit2, kOtherSheet, 1);
  for (HWND c : {CheckBox3, Edit4, Edit5}) Tag(c, kOtherSheet, 2);
  Tag(CheckBox4, kOtherSheet, 4);
  Tag(CheckBox5, kOtherSheet, 5);
  for (HWND c : {Edit1, UpDown3, Edit2, UpDown4}) host_.SetHint(c, "初期値（400）");
  host_.SetHint(CheckBox3, "チェックすれば、応答がないアプリケーションが自動終了する");
  for (HWND c : {Edit4, UpDown1})
    host_.SetHint(c, "初期値（5000）|応答がないアプリケーションを検知してから応答待ちダイアログが表示されるまでの時間");
  for (HWND c : {Edit5, UpDown2})
    host_.SetHint(c, "初期値（20000）|終了時又はログオフ時に、終了出来ないアプリケーションを検知してから"
                     "ダイアログが表示されるまでの時間");
  host_.SetHint(RadioGroup1, "フォアグランド：バックグラウンド|Forは現在、ユーザーが作業しているプログラム");
  for (HWND c : RadioItems[0])
    host_.SetHint(c, "フォアグランド：バックグラウンド|Forは現在、ユーザーが作業しているプログラム");
  host_.SetHint(cpu, "作業しているアプリケーションの速度が上げる");
  for (int g = 1; g < 3; ++g)
    for (HWND c : RadioItems[g]) host_.SetHint(c, "作業しているアプリケーションの速度が上げる");
}

void SettingsPage::CreateNetworkSheet() {
  HWND p = TabSheet7;  // Panel4
  Make(p, WC_BUTTONW, "ネットワークカードの選択", BS_GROUPBOX | WS_GROUP, 8, 4, 620, 76);
  MakeLabel(p, "カード名", 20, 26, 60);
  ComboBox3 = Make(p, WC_COMBOBOXW, "", WS_TABSTOP | WS_GROUP | WS_VSCROLL | CBS_DROPDOWNLIST, 84, 22, 530, 200);
  MakeLabel(p, "GUID ", 20, 53, 60);
  Edit18 = MakeEdit(p, 84, 50, 300, true);

  Make(p, WC_BUTTONW, "MTUとAverageの取得", BS_GROUPBOX | WS_GROUP, 8, 84, 620, 52);
  MakeLabel(p, "MTU", 20, 108, 36);
  Edit12 = MakeEdit(p, 58, 105, 64, false, "1460");
  UpDown9 = MakeSpinner(p, Edit12, kMtuField, 1);
  MakeLabel(p, "テスト先URL ", 140, 108, 84);
  ComboBox5 = Make(p, WC_COMBOBOXW, "", WS_TABSTOP | WS_GROUP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, 226, 104,
                   300, 200);
  for (const std::string& target : host_.settings().ping_targets)
    SendMessageW(ComboBox5, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(target).c_str()));
  SendMessageW(ComboBox5, CB_SETCURSEL, 0, 0);
  Button1 = MakeButton(p, "Go", 534, 103, 50, 23);

  Make(p, WC_BUTTONW, "下りデータ速度の取得 ", BS_GROUPBOX | WS_GROUP, 8, 140, 620, 52);
  Edit10 = MakeEdit(p, 20, 161, 506, false, host_.settings().speed_test_page);
  Button2 = MakeButton(p, "開く", 534, 160, 50, 23);

  Make(p, WC_BUTTONW, "RWINの取得", BS_GROUPBOX | WS_GROUP, 8, 196, 620, 74);
  MakeLabel(p, "Average", 20, 216, 70);
  MakeLabel(p, "下りデータ速度", 116, 216, 90);
  MakeLabel(p, "MTU", 210, 216, 60);
  MakeLabel(p, "RWIN", 330, 216, 90);
  Edit14 = MakeEdit(p, 20, 236, 70);
  MakeLabel(p, "×（", 92, 239, 22);
  Edit15 = MakeEdit(p, 116, 236, 70);
  MakeLabel(p, "×", 190, 239, 16);
  Edit16 = MakeEdit(p, 210, 236, 60, true, "1460");
  MakeLabel(p, "／8）＝", 274, 239, 52);
  Edit17 = MakeEdit(p, 330, 236, 100);
  Button3 = MakeButton(p, "計算", 442, 234, 60);
  EnableWindow(Button3, FALSE);

  Make(p, WC_BUTTONW, "送受信データ量の設定（MTU、RWIN）", BS_GROUPBOX | WS_GROUP, 8, 274, 620, 52);
  Button4 = MakeButton(p, "適用", 20, 294, 80);
  EnableWindow(Button4, FALSE);

  for (HWND c : {Edit12, UpDown9}) host_.SetHint(c, "パケットのサイズ");
  host_.SetHint(ComboBox5, "サーバーのＵＲＬ");
  host_.SetHint(Edit10, "速度計測サイト");
  host_.SetHint(Button2, "Webサイトを開く");
  host_.SetHint(Edit14, "応答遅延時間(単位ms)");
  host_.SetHint(Edit15, "単位Mbps");
}

void SettingsPage::SetAllowed(bool allowed) {
  EnableWindow(sheet_, allowed);
  SetVisible(PageControl2, allowed);
  for (HWND panel : {TabSheet5, TabSheet7, TabSheet6})
    SetVisible(panel, allowed && panel == (current_sheet_ == kMemorySheet    ? TabSheet5
                                           : current_sheet_ == kNetworkSheet ? TabSheet7
                                                                             : TabSheet6));
}

bool SettingsPage::allowed() const { return IsShown(PageControl2); }

void SettingsPage::Layout(int width, int height) {
  SetWindowPos(PageControl2, nullptr, 0, 0, width, height, SWP_NOZORDER);
  RECT display{0, 0, width, height};
  TabCtrl_AdjustRect(PageControl2, FALSE, &display);
  for (HWND panel : {TabSheet5, TabSheet7, TabSheet6})
    SetWindowPos(panel, HWND_TOP, display.left, display.top, display.right - display.left,
                 display.bottom - display.top, 0);
}

void SettingsPage::ShowSheet(Sheet sheet) {
  current_sheet_ = sheet;
  // No tab stands for the network page.
  TabCtrl_SetCurSel(PageControl2, sheet == kMemorySheet ? 0 : sheet == kOtherSheet ? 1 : -1);
  SetAllowed(allowed());
}

// ---------------------------------------------------------------------------------------
// Reading and showing the values

void SettingsPage::ShowPage() {
  FillSettingsPages();
  ShowSheet(kOtherSheet);
  ShowSheet(kMemorySheet);
  MemoryChangeMask = 0;
  OtherChangeMask = 0;
  Timer3Timer();
  SetTimer(sheet_, kTimer3, 1000, Timer3Proc);
}

MemorySheet SettingsPage::ReadMemorySheet() const {
  MemorySheet s;
  s.large_system_cache = Checked(CheckBox1);
  s.disable_paging_executive = Checked(CheckBox2);
  s.io_page_lock_limit = TextOf(Edit3);
  s.io_page_lock_limit_size = TextOf(Label27);
  s.max_cached_icons = TextOf(Edit11);
  s.system_heap = TextOf(Edit6);
  s.desktop_heap = TextOf(Edit7);
  s.noninteractive_heap = TextOf(Edit8);
  s.irp_stack_size = TextOf(Edit9);
  return s;
}

OtherSheet SettingsPage::ReadOtherSheet() const {
  OtherSheet s;
  s.menu_show_delay = TextOf(Edit1);
  s.min_animate = TextOf(Edit2);
  s.auto_end_tasks = Checked(CheckBox3);
  s.hung_app_timeout = TextOf(Edit4);
  s.wait_to_kill_app_timeout = TextOf(Edit5);
  for (int g = 0; g < 3; ++g) {
    s.priority_separation[g] = -1;
    for (int i = 0; i < 3; ++i)
      if (Checked(RadioItems[g][i])) s.priority_separation[g] = i;
  }
  s.no_resolve_track = Checked(CheckBox4);
  s.no_shortcut_prefix = Checked(CheckBox5);
  return s;
}

void SettingsPage::FillSettingsPages() {
  MemorySheet memory = ReadMemorySheet();
  OtherSheet other = ReadOtherSheet();
  NetworkSheet network;
  network.tcp_window_size = TextOf(Edit17);
  SendMessageW(ComboBox4, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  TRegistry registry(host_.registry());
  orvela::FillSettingsPages(registry, {memory, other, network, windows_});
  ShowValues(memory, other, network);
  stored_memory_ = ReadMemorySheet();
  stored_other_ = ReadOtherSheet();
}

void SettingsPage::ShowText(HWND edit, const std::string& text) {
  if (TextOf(edit) == text) return;
  SetText(edit, text);
  Mark(edit);
}

void SettingsPage::ShowCheck(HWND check, bool checked) {
  if (Checked(check) == checked) return;
  SendMessageW(check, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  Mark(check);
}

void SettingsPage::ShowValues(const MemorySheet& memory, const OtherSheet& other, const NetworkSheet& network) {
  // The change handlers see the values as they are set; the sets below mark what changed.
  filling_ = true;
  ShowCheck(CheckBox1, memory.large_system_cache);
  ShowCheck(CheckBox2, memory.disable_paging_executive);
  ShowText(Edit3, memory.io_page_lock_limit);
  SetText(Label27, memory.io_page_lock_limit_size);
  ShowText(Edit11, memory.max_cached_icons);
  ShowText(Edit6, memory.system_heap);
  ShowText(Edit7, memory.desktop_heap);
  ShowText(Edit8, memory.noninteractive_heap);
  ShowText(Edit9, memory.irp_stack_size);

  ShowText(Edit1, other.menu_show_delay);
  ShowText(Edit2, other.min_animate);
  ShowCheck(CheckBox3, other.auto_end_tasks);
  ShowText(Edit4, other.hung_app_timeout);
  ShowText(Edit5, other.wait_to_kill_app_timeout);
  for (int g = 0; g < 3; ++g)
    for (int i = 0; i < 3; ++i) ShowCheck(RadioItems[g][i], other.priority_separation[g] == i);
  ShowCheck(CheckBox4, other.no_resolve_track);
  ShowCheck(CheckBox5, other.no_shortcut_prefix);

  cards_ = network.cards;
  SendMessageW(ComboBox3, CB_RESETCONTENT, 0, 0);
  for (const NetworkCard& card : cards_)
    SendMessageW(ComboBox3, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(card.description).c_str()));
  SetText(Edit18, "");
  ShowText(Edit17, network.tcp_window_size);
  filling_ = false;
}

// ---------------------------------------------------------------------------------------
// Messages

bool SettingsPage::OnCommand(int, int code, HWND control) {
  if (!control || !IsChild(sheet_, control)) return false;
  if (code == BN_CLICKED) {
    if (control == UpDateBtn1) UpDateBtn1Click();
    else if (control == UpDateBtn2) UpDateBtn2Click();
    else if (control == Button1) Button1Click();
    else if (control == Button2) Button2Click();
    else if (control == Button3) Button3Click();
    else if (control == Button4) Button4Click();
    else if (!filling_) Mark(control);
  } else if (code == EN_CHANGE && !filling_) {
    if (control == Edit12) Edit12Change();
    else if (control == Edit14 || control == Edit15) Edit14Change();
    else if (control == Edit10) host_.settings().speed_test_page = TextOf(Edit10);
    else Mark(control);
  } else if (code == CBN_SELCHANGE) {
    if (control == ComboBox4) ComboBox4Change();
    else if (control == ComboBox3) ComboBox3Change();
  }
  return true;
}

bool SettingsPage::OnNotify(NMHDR& header, LRESULT& result) {
  if (header.hwndFrom == PageControl2) {
    if (header.code == TCN_SELCHANGE) ShowSheet(TabCtrl_GetCurSel(PageControl2) == 1 ? kOtherSheet : kMemorySheet);
    result = 0;
    return true;
  }
  if (header.code == UDN_DELTAPOS) {
    auto& change = reinterpret_cast<NMUPDOWN&>(header);
    if (!StepSpinner(header.hwndFrom, change.iDelta)) return false;
    result = TRUE;  // the edit was set; the control keeps no position of its own
    return true;
  }
  return false;
}

bool SettingsPage::StepSpinner(HWND updown, int delta) {
  auto spinner = std::find_if(spinners_.begin(), spinners_.end(), [&](const Spinner& s) { return s.updown == updown; });
  if (spinner == spinners_.end()) return false;
  const long long min = spinner->field.min, max = spinner->field.max;
  // From the edit's number (the nearest end of the range when it lies outside, the lower
  // end when it is none), one step within the range.
  const std::optional<std::uint64_t> typed = ParseWholeNumber(TextOf(spinner->edit));
  const long long from = typed ? static_cast<long long>(std::min<std::uint64_t>(*typed, 0xFFFFFFFFull)) : min;
  const long long to = std::clamp(std::clamp(from, min, max) + delta, min, max);
  SetText(spinner->edit, std::to_string(to));
  return true;
}

void SettingsPage::Mark(HWND control) {
  for (const Tagged& t : tagged_) {
    if (t.control != control) continue;
    if (t.sheet == kMemorySheet) CheckBox1Click(control); else Edit1Change(control);
    return;
  }
}

void SettingsPage::CheckBox1Click(HWND sender) {
  for (const Tagged& t : tagged_)
    if (t.control == sender && t.sheet == kMemorySheet) MemoryChangeMask |= 1u << (t.tag % 32);
}

void SettingsPage::Edit1Change(HWND sender) {
  for (const Tagged& t : tagged_)
    if (t.control == sender && t.sheet == kOtherSheet) OtherChangeMask |= 1u << (t.tag % 32);
}

void SettingsPage::ComboBox4Change() {
  const int index = static_cast<int>(SendMessageW(ComboBox4, CB_GETCURSEL, 0, 0));
  const std::uint32_t limit = PresetLockLimit(index);
  SetText(Edit3, std::to_string(limit));
  SetText(Label27, FormatByteSize(limit));
  CheckBox1Click(Edit3);
}

void SettingsPage::Timer3Timer() {
  // Timer3 runs while the page is shown; the frame hides the page when another one comes.
  if (!IsShown(sheet_)) {
    KillTimer(sheet_, kTimer3);
    return;
  }
  EnableKeepingFocus(UpDateBtn1, MemoryChangeMask != 0);
  EnableKeepingFocus(UpDateBtn2, OtherChangeMask != 0);
}

void SettingsPage::ShowMessages(const std::vector<std::string>& messages) {
  if (messages.empty()) return;
  std::string text;
  for (const std::string& m : messages) text += (text.empty() ? "" : "\n\n") + m;
  host_.prompt().ShowMessage(text, kAppTitle, PromptIcon::kWarning);
}

void SettingsPage::BackupWritten(const SettingsWriter& writer) {
  if (writer.recorded()) host_.SetRestoreVisible(true);
}

void SettingsPage::UpDateBtn1Click() {
  TRegistry registry(host_.registry());
  SettingsWriter writer(registry, host_.paths().settings_backup);
  const ApplyResult result = ApplyMemorySheet(writer, ReadMemorySheet(), stored_memory_, windows_, MemoryChangeMask);
  MemoryChangeMask = result.mask;
  BackupWritten(writer);
  if (result.refill) FillSettingsPages();
  Timer3Timer();
  ShowMessages(result.messages);
}

void SettingsPage::UpDateBtn2Click() {
  TRegistry registry(host_.registry());
  SettingsWriter writer(registry, host_.paths().settings_backup);
  const ApplyResult result = ApplyOtherSheet(writer, ReadOtherSheet(), stored_other_, OtherChangeMask);
  OtherChangeMask = result.mask;
  BackupWritten(writer);
  Timer3Timer();
  ShowMessages(result.messages);
}

void SettingsPage::RestoreSettings() {
  TRegistry registry(host_.registry());
  const bool still_there = orvela::RestoreSettings(registry, host_.prompt(), host_.paths().settings_backup,
                                                   TuningScope(), [this] { FillSettingsPages(); }, *restart_);
  host_.SetRestoreVisible(still_there);
}

// ---------------------------------------------------------------------------------------
// The network page

void SettingsPage::ComboBox3Change() {
  const int index = static_cast<int>(SendMessageW(ComboBox3, CB_GETCURSEL, 0, 0));
  const std::string description = ComboItemText(ComboBox3, index);
  std::string service;
  for (const NetworkCard& card : cards_) {
    if (!SameTextIgnoringCase(card.description, description)) continue;
    service = card.service;
    break;
  }
  SetText(Edit18, service);
  TRegistry registry(host_.registry());
  SetText(Edit12, MtuTextOf(registry, service));
}

void SettingsPage::Edit12Change() { SetText(Edit16, TextOf(Edit12)); }

void SettingsPage::Edit14Change() {
  EnableKeepingFocus(Button3, !TextOf(Edit14).empty() && !TextOf(Edit15).empty());
}

void SettingsPage::Button1Click() {
  const PingHost target = PingHostFrom(TextOf(ComboBox5));
  if (target.kind == PingHost::Kind::kNothing) return;
  if (target.kind == PingHost::Kind::kRefused) {
    host_.prompt().ShowMessage("テスト先「" + target.host +
                                   "」には、英数字と「.」「-」「:」「_」だけのホスト名かアドレスを入れて下さい。",
                               kAppTitle, PromptIcon::kWarning);
    return;
  }
  const std::string packet = TextOf(Edit12);
  const std::optional<std::uint32_t> size = FieldNumber(kMtuField, packet);
  if (!size) {
    host_.prompt().ShowMessage(FieldNumberMessage(kMtuField, packet), kAppTitle, PromptIcon::kWarning);
    return;
  }
  SetText(ComboBox5, target.host);
  std::vector<std::string>& targets = host_.settings().ping_targets;
  if (std::none_of(targets.begin(), targets.end(), [&](const std::string& t) { return SameTextIgnoringCase(t, target.host); })) {
    targets.push_back(target.host);
    SendMessageW(ComboBox5, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(target.host).c_str()));
  }
  if (!launch_->Run("cmd.exe", PingParameters(std::to_string(*size), target.host)))
    host_.prompt().ShowMessage("cmd.exe を起動できませんでした。", kAppTitle, PromptIcon::kError);
}

void SettingsPage::Button2Click() {
  const std::string address = TextOf(Edit10);
  if (!IsWebAddress(address)) {
    host_.prompt().ShowMessage("速度計測サイトには、http:// か https:// で始まるアドレスを入れて下さい。", kAppTitle,
                               PromptIcon::kWarning);
    return;
  }
  if (!launch_->OpenWebPage(address))
    host_.prompt().ShowMessage("Web ブラウザを起動できませんでした。", kAppTitle, PromptIcon::kError);
}

void SettingsPage::Button3Click() {
  const RwinComputation result = ComputeRwinText(TextOf(Edit14), TextOf(Edit15), TextOf(Edit16));
  if (result.computed) {
    SetText(Edit17, result.text);
    EnableWindow(Button4, TRUE);
  } else if (result.message.empty()) {
    EnableKeepingFocus(Button4, false);
  } else {
    host_.prompt().ShowMessage(result.message, kAppTitle, PromptIcon::kWarning);
  }
}

void SettingsPage::Button4Click() {
  TRegistry registry(host_.registry());
  SettingsWriter writer(registry, host_.paths().settings_backup);
  const NetworkApply result = ApplyNetworkValues(writer, TextOf(Edit17), TextOf(Edit18), TextOf(Edit12));
  BackupWritten(writer);
  if (result.message.empty()) return;
  if (!result.written) {
    host_.prompt().ShowMessage(result.message, kAppTitle, PromptIcon::kWarning);
    return;
  }
  host_.prompt().ShowMessage(result.message, kAppTitle, PromptIcon::kInformation);
  EnableKeepingFocus(Button4, false);
}

}  // namespace orvela
