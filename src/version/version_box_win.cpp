#include "version/version_box_win.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <vector>

#include "../../resources/resource_ids.h"
#include "platform/dpi_win.h"
#include "platform/guarded_call_win.h"
#include "platform/kept_focus_win.h"
#include "platform/other_windows_disabled_win.h"
#include "platform/program_font_win.h"
#include "platform/wide_win.h"

namespace orvela {
namespace {

constexpr wchar_t kBoxClass[] = L"TVersionBox";
constexpr wchar_t kPanelClass[] = L"TVersionBoxPanel";
constexpr wchar_t kIconClass[] = L"TVersionBoxIcon";
constexpr UINT_PTR kTimer1 = 1;
constexpr UINT_PTR kCheckTimer = 2;  // ends a check that takes too long
constexpr UINT kTimer1Interval = 200;
constexpr UINT kPageFetchedMessage = WM_APP + 1;
constexpr UINT kDownloadFinishedMessage = WM_APP + 2;
constexpr int kUpdateChkBtnId = 100;
constexpr int kLabel4Id = 101;
constexpr COLORREF kTransparentBlue = RGB(0, 0, 255);

// The box's geometry, in 96-DPI pixels.
constexpr int kClientWidth = 298, kClientHeight = 203;
constexpr int kPanelHeight = 161;
constexpr POINT kImage1Home{8, 8};
constexpr int kTextLeft = 84, kTextWidth = 206;
constexpr int kBottomLineTop = 138, kLineHeight = 16;
constexpr int kLinkRightMargin = 16;
constexpr int kButtonTop = 171, kButtonWidth = 80, kButtonHeight = 24;

void RegisterClasses(WNDPROC box, WNDPROC panel, WNDPROC icon) {
  static const bool registered = [&] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpfnWndProc = box;
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = kBoxClass;
    RegisterClassExW(&wc);
    wc.lpfnWndProc = panel;
    wc.hbrBackground = nullptr;
    wc.lpszClassName = kPanelClass;
    RegisterClassExW(&wc);
    wc.lpfnWndProc = icon;
    wc.hCursor = LoadCursorW(nullptr, IDC_HAND);
    wc.lpszClassName = kIconClass;
    RegisterClassExW(&wc);
    return true;
  }();
  (void)registered;
}

// The box of the window procedure: stored at WM_NCCREATE from the creation parameter.
TVersionBox* BoxOf(HWND window, UINT message, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* box = static_cast<TVersionBox*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(box));
    return box;
  }
  return reinterpret_cast<TVersionBox*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

std::string ShortHint(std::string_view hint) { return std::string(hint.substr(0, hint.find('|'))); }

int TextWidth(HWND control, HFONT font) {
  const int length = GetWindowTextLengthW(control);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  GetWindowTextW(control, text.data(), length + 1);
  const WindowDc dc(control);
  const SelectedObject selected(dc.get(), font);
  SIZE size{};
  GetTextExtentPoint32W(dc.get(), text.c_str(), length, &size);
  return size.cx;
}

}  // namespace

INT_PTR ShellOpenNormally(const std::string& file, const std::string& parameters) {
  const std::wstring wide_parameters = Wide(parameters);
  return reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", Wide(file).c_str(),
                                                 parameters.empty() ? nullptr : wide_parameters.c_str(), nullptr,
                                                 SW_SHOWNORMAL));
}

TVersionBox::TVersionBox(VersionBoxSettings settings, Prompt& prompt, ShellOpen shell_open)
    : settings_(std::move(settings)),
      prompt_(prompt),
      shell_open_(std::move(shell_open)),
      animation_(settings_.jump_xy, settings_.stretch_max),
      random_(GetTickCount()),
      dpi_(SystemDpi()) {}

TVersionBox::~TVersionBox() {
  transfer_.reset();  // cancels a transfer still running
  if (hwnd_) {
    KillTimer(hwnd_, kTimer1);
    KillTimer(hwnd_, kCheckTimer);
    DestroyWindow(hwnd_);
  }
  if (tooltip_) DestroyWindow(tooltip_);
}

bool TVersionBox::Create(HWND owner) {
  RegisterClasses(BoxProc, PanelProc, IconProc);
  owner_ = owner;
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  const DWORD ex_style = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_CONTROLPARENT;
  RECT frame{0, 0, Scale(kClientWidth), Scale(kClientHeight)};
  AdjustWindowRectEx(&frame, style, FALSE, ex_style);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  // Centred on the screen.
  const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2, y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  hwnd_ = CreateWindowExW(ex_style, kBoxClass, Wide(kVersionBoxCaption).c_str(), style, x, y, width, height, owner,
                          nullptr, GetModuleHandleW(nullptr), this);
  if (!hwnd_) return false;
  CreateControls();
  // The box stays on top: a message or chooser owned by another window would open behind it,
  // and the box would wait for an answer nobody can give. Its own boxes disable it instead.
  prompt_.SetOwnerWindow(hwnd_);
  return true;
}

void TVersionBox::CreateControls() {
  ui_font_ = CreateProgramFont(Scale(12));
  title_font_ = CreateProgramFont(Scale(16), {.bold = true});
  link_font_ = CreateProgramFont(Scale(12), {.underline = true});
  panel_brush_.reset(CreateSolidBrush(settings_.panel_colour));
  HINSTANCE instance = GetModuleHandleW(nullptr);

  auto child = [&](const wchar_t* cls, const std::string& text, DWORD style, HWND parent, int id, HFONT font,
                   int x, int y, int w, int h) {
    HWND control = CreateWindowExW(0, cls, Wide(text).c_str(), WS_CHILD | WS_VISIBLE | style, Scale(x), Scale(y),
                                   Scale(w), Scale(h), parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   instance, this);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
  };
  Panel1 = child(kPanelClass, "", WS_CLIPSIBLINGS, hwnd_, 0, ui_font_.get(), 0, 0, kClientWidth, kPanelHeight);
  SetWindowLongW(Panel1, GWL_EXSTYLE, GetWindowLongW(Panel1, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
  Image1 = child(kIconClass, "", 0, Panel1, 0, nullptr, kImage1Home.x, kImage1Home.y, IconAnimation::kFrameSize,
                 IconAnimation::kFrameSize);
  StaticText1 = child(WC_STATICW, settings_.title_line, SS_CENTER | SS_NOPREFIX, Panel1, 0, title_font_.get(),
                      kTextLeft, 20, kTextWidth, 22);
  Label2 = child(WC_STATICW, settings_.credit_line, SS_CENTER | SS_NOPREFIX, Panel1, 0, ui_font_.get(), kTextLeft,
                 56, kTextWidth, kLineHeight);
  StaticText2 = child(WC_STATICW, settings_.version_line, SS_CENTER | SS_NOPREFIX | SS_NOTIFY, Panel1, 0,
                      ui_font_.get(), kTextLeft, 84, kTextWidth, 18);
  Label3 = child(WC_STATICW, settings_.year, SS_LEFT | SS_NOPREFIX, Panel1, 0, ui_font_.get(), 12, kBottomLineTop,
                 140, kLineHeight);
  Label4 = child(WC_STATICW, settings_.corp, SS_LEFT | SS_NOPREFIX | SS_NOTIFY, Panel1, kLabel4Id, link_font_.get(),
                 kClientWidth - 100, kBottomLineTop, 84, kLineHeight);
  UpdateChkBtn = child(WC_BUTTONW, "Update", BS_PUSHBUTTON | WS_TABSTOP, hwnd_, kUpdateChkBtnId, ui_font_.get(), 8,
                       kButtonTop, kButtonWidth, kButtonHeight);
  OKButton = child(WC_BUTTONW, "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, hwnd_, IDOK, ui_font_.get(),
                   kClientWidth - 8 - kButtonWidth, kButtonTop, kButtonWidth, kButtonHeight);

  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, instance,
                             nullptr);
  AddHint(StaticText2, "バージョン");
  AddHint(Label4, "Ｖ＆Ｌ Home");
  AddHint(UpdateChkBtn, "更新ファイルを確認する|Ｖ＆Ｌのサイトへ接続して最新のアップデートファイルの有無を確認します。");

  // Image2: two frames of the icon side by side; pure blue is transparent.
  image2_.reset(static_cast<HBITMAP>(
      LoadImageW(instance, MAKEINTRESOURCEW(IDB_VERSION_FRAMES), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  {
    const WindowDc screen(nullptr);
    canvas_dc_.reset(CreateCompatibleDC(screen.get()));
    canvas_.reset(CreateCompatibleBitmap(screen.get(), IconAnimation::kFrameSize, IconAnimation::kFrameSize));
  }
  canvas_selected_ = SelectedObject(canvas_dc_.get(), canvas_.get());
  home_ = kImage1Home;
  RECT all{0, 0, IconAnimation::kFrameSize, IconAnimation::kFrameSize};
  FillRect(canvas_dc_.get(), &all, panel_brush_.get());
}

void TVersionBox::AddHint(HWND control, const char* hint) {
  std::wstring text = Wide(ShortHint(hint));
  TTTOOLINFOW info{};
  info.cbSize = sizeof info;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = hwnd_;
  info.uId = reinterpret_cast<UINT_PTR>(control);
  info.lpszText = text.data();
  SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void TVersionBox::ShowModal() {
  KeptFocus kept;  // the version button has the focus again once the box is hidden
  {
    OtherWindowsDisabled others(hwnd_);
    FormShow();
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    SetFocus(OKButton);
    MSG msg;
    while (!closed_) {
      const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
      if (got <= 0) {
        if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));  // for the main loop
        FormClose();
        break;
      }
      if (!IsDialogMessageW(hwnd_, &msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
    }
    // The others come back before the box goes, so the owner gets the activation.
  }
  ShowWindow(hwnd_, SW_HIDE);
}

void TVersionBox::FormShow() {
  RECT panel{};
  GetClientRect(Panel1, &panel);
  const int width = TextWidth(Label4, link_font_.get());
  SetWindowPos(Label4, nullptr, panel.right - width - Scale(kLinkRightMargin), Scale(kBottomLineTop), width,
               Scale(kLineHeight), SWP_NOZORDER | SWP_NOACTIVATE);
  Timer1Timer();
  SetTimer(hwnd_, kTimer1, kTimer1Interval, nullptr);
}

void TVersionBox::FormClose() {
  if (hwnd_) {
    KillTimer(hwnd_, kTimer1);
    KillTimer(hwnd_, kCheckTimer);
  }
  if (transfer_) transfer_->Cancel();
  closed_ = true;
}

void TVersionBox::Timer1Timer() {
  DrawFrame(animation_.Tick(random_));
  PlaceIcon();
}

void TVersionBox::DrawFrame(int frame) {
  RECT all{0, 0, IconAnimation::kFrameSize, IconAnimation::kFrameSize};
  FillRect(canvas_dc_.get(), &all, panel_brush_.get());
  if (!image2_) return;
  UniqueHdc source(CreateCompatibleDC(canvas_dc_.get()));
  const SelectedObject frames(source.get(), image2_.get());
  TransparentBlt(canvas_dc_.get(), 0, 0, IconAnimation::kFrameSize, IconAnimation::kFrameSize, source.get(),
                 IconAnimation::kFrameSize * frame, 0, IconAnimation::kFrameSize, IconAnimation::kFrameSize,
                 kTransparentBlue);
}

void TVersionBox::PlaceIcon() {
  const int size = Scale(animation_.size());
  SetWindowPos(Image1, nullptr, Scale(home_.x + animation_.dx()), Scale(home_.y + animation_.dy()), size, size,
               SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(Image1, nullptr, FALSE);
}

void TVersionBox::Image1MouseMove() {
  animation_.PointerOverIcon();
  PlaceIcon();
}

void TVersionBox::Image1MouseDown() {
  animation_.PressedOnIcon();
  PlaceIcon();
}

void TVersionBox::Panel1MouseMove() { animation_.PointerOverPanel(); }

void TVersionBox::Label4Click() {
  if (shell_open_("iexplore", settings_.site_url) <= 32) shell_open_(settings_.site_url, "");
}

void TVersionBox::Say(const std::string& text, PromptIcon icon) {
  prompt_.ShowMessage(text, settings_.caption_title, icon);
}

// ---------------------------------------------------------------------------------------
// The update check. The requests run on a worker; its result comes back as a message.

void TVersionBox::UpdateChkBtnClick() {
  if (update_running_ || closed_) return;
  update_running_ = true;
  const std::string address =
      UpdatePageAddress(settings_.site_url, settings_.update.folder_name, settings_.update.page_name);
  auto page = std::make_shared<PageFetch>();
  page_ = page;
  transfer_ = std::make_unique<BackgroundTransfer>(
      hwnd_, kPageFetchedMessage, [page, address](TransferControl& control) { *page = FetchUpdatePage(address, control); });
  if (!transfer_->started()) {
    transfer_.reset();
    update_running_ = false;
    Say(std::string(kNoConnectionMessage));
    return;
  }
  SetTimer(hwnd_, kCheckTimer, settings_.update.check_time_limit_ms, nullptr);
}

void TVersionBox::CheckTimeUp() {
  KillTimer(hwnd_, kCheckTimer);
  if (!transfer_ || !page_) return;
  if (transfer_->finished()) return PageFetched();
  // The site has not answered in time: the worker is left to end by itself.
  transfer_.reset();
  page_.reset();
  update_running_ = false;
  Say(std::string(kNoConnectionMessage));
}

void TVersionBox::PageFetched() {
  if (!transfer_ || !transfer_->finished() || !page_) return;
  KillTimer(hwnd_, kCheckTimer);
  transfer_.reset();
  const PageFetch page = std::move(*page_);
  page_.reset();
  bool downloading = false;
  switch (page.status) {
    case PageFetch::Status::kNoSession:  // no internet access at all: nothing to say
    case PageFetch::Status::kCancelled:
      break;
    case PageFetch::Status::kNoConnection:
      Say(std::string(kNoConnectionMessage));
      break;
    case PageFetch::Status::kOk: {
      const UpdateVerdict verdict = EvaluateUpdatePage(page.text, settings_.update);
      if (verdict.kind == UpdateVerdict::Kind::kNoRelease)
        Say(std::string(kNoReleaseMessage));
      else if (verdict.kind == UpdateVerdict::Kind::kUpToDate)
        Say(std::string(kUpToDateMessage));
      else
        DownloadRelease(verdict.release_name);
      downloading = transfer_ != nullptr;
      break;
    }
  }
  update_running_ = downloading;
}

void TVersionBox::DownloadRelease(const std::string& release_name) {
  found_release_ = release_name;
  if (!prompt_.AskYesNo(DownloadQuestion(release_name), kUpdateCaption, PromptIcon::kQuestion) || closed_) return;
  const std::optional<std::string> chosen = ChooseFolder(std::string(kChooseFolderTitle), "");
  if (!chosen || closed_) return;
  std::string folder = *chosen;
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  const bool exists = GetFileAttributesW(Wide(folder + release_name).c_str()) != INVALID_FILE_ATTRIBUTES;
  if (exists && (!prompt_.AskYesNo(ReplaceQuestion(release_name), kUpdateCaption, PromptIcon::kQuestion) || closed_))
    return;
  const std::string address = ReleaseAddress(settings_.site_url, settings_.update.down_folder, release_name);
  auto status = std::make_shared<DownloadStatus>(DownloadStatus::kInterrupted);
  download_ = status;
  transfer_ = std::make_unique<BackgroundTransfer>(
      hwnd_, kDownloadFinishedMessage, [status, address, folder, release_name, exists](TransferControl& control) {
        *status = DownloadToFolder(address, folder, release_name, exists, control);
      });
  if (!transfer_->started()) {
    transfer_.reset();
    Say(DownloadMessage(DownloadStatus::kNoConnection, release_name), PromptIcon::kWarning);
  }
}

void TVersionBox::DownloadFinished() {
  if (!transfer_ || !transfer_->finished() || !download_) return;
  transfer_.reset();
  const DownloadStatus status = *download_;
  download_.reset();
  const std::string message = DownloadMessage(status, found_release_);
  if (!message.empty()) Say(message, status == DownloadStatus::kDone ? PromptIcon::kNone : PromptIcon::kWarning);
  update_running_ = false;
}

std::optional<std::string> TVersionBox::ChooseFolder(const std::string& title, const std::string& root) {
  OtherWindowsDisabled others(hwnd_);
  return prompt_.ChooseFolder(title, root);
}

// ---------------------------------------------------------------------------------------
// Window procedures

// A failure of the box's windows is told the way the box tells everything: through its prompt.
void TVersionBox::SayFailure(HWND window, const std::string& text) {
  if (TVersionBox* box = BoxOf(window, 0, 0)) box->Say(text, PromptIcon::kError);
}

LRESULT CALLBACK TVersionBox::BoxProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  TVersionBox* box = BoxOf(window, message, lparam);
  if (!box) return DefWindowProcW(window, message, wparam, lparam);
  if (message == WM_NCCREATE) box->hwnd_ = window;
  return GuardedCall(window, [&] { return box->BoxMessage(message, wparam, lparam); }, SayFailure).value_or(0);
}

LRESULT CALLBACK TVersionBox::PanelProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  TVersionBox* box = BoxOf(window, message, lparam);
  if (!box) return DefWindowProcW(window, message, wparam, lparam);
  return GuardedCall(window, [&] { return box->PanelMessage(window, message, wparam, lparam); }, SayFailure)
      .value_or(0);
}

LRESULT CALLBACK TVersionBox::IconProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  TVersionBox* box = BoxOf(window, message, lparam);
  if (!box) return DefWindowProcW(window, message, wparam, lparam);
  return GuardedCall(window, [&] { return box->IconMessage(window, message, wparam, lparam); }, SayFailure)
      .value_or(0);
}

LRESULT TVersionBox::BoxMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) {
        PostMessageW(hwnd_, WM_CLOSE, 0, 0);
      } else if (LOWORD(wparam) == kUpdateChkBtnId && HIWORD(wparam) == BN_CLICKED) {
        UpdateChkBtnClick();
      }
      return 0;
    case WM_TIMER:
      if (wparam == kTimer1) Timer1Timer();
      if (wparam == kCheckTimer) CheckTimeUp();
      return 0;
    case kPageFetchedMessage:
      PageFetched();
      return 0;
    case kDownloadFinishedMessage:
      DownloadFinished();
      return 0;
    case WM_CLOSE:
      FormClose();
      return 0;  // ShowModal ends its loop and hides the box
    case WM_DESTROY:
      prompt_.SetOwnerWindow(owner_);  // the box's owner owns the boxes again
      hwnd_ = nullptr;
      return 0;
  }
  return DefWindowProcW(hwnd_, message, wparam, lparam);
}

LRESULT TVersionBox::PanelMessage(HWND panel, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_ERASEBKGND: {
      RECT rect;
      GetClientRect(panel, &rect);
      FillRect(reinterpret_cast<HDC>(wparam), &rect, panel_brush_.get());
      return 1;
    }
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(panel, &paint);
      RECT rect;
      GetClientRect(panel, &rect);
      // A raised bevel outside, a lowered one inside.
      DrawEdge(dc, &rect, BDR_RAISEDOUTER, BF_RECT);
      InflateRect(&rect, -1, -1);
      DrawEdge(dc, &rect, BDR_SUNKENOUTER, BF_RECT);
      EndPaint(panel, &paint);
      return 0;
    }
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wparam);
      const HWND control = reinterpret_cast<HWND>(lparam);
      COLORREF colour = RGB(0, 0, 0);
      if (control == StaticText1) colour = settings_.title_colour;
      else if (control == StaticText2) colour = settings_.version_colour;
      else if (control == Label3) colour = settings_.date_colour;
      else if (control == Label4) colour = settings_.link_colour;
      SetTextColor(dc, colour);
      SetBkColor(dc, settings_.panel_colour);
      return reinterpret_cast<LRESULT>(panel_brush_.get());
    }
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wparam) == Label4) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    case WM_MOUSEMOVE:
      Panel1MouseMove();
      return 0;
    case WM_COMMAND:
      if (LOWORD(wparam) == kLabel4Id && HIWORD(wparam) == STN_CLICKED) Label4Click();
      return 0;
  }
  return DefWindowProcW(panel, message, wparam, lparam);
}

LRESULT TVersionBox::IconMessage(HWND icon, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // the picture covers the whole control
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(icon, &paint);
      RECT rect;
      GetClientRect(icon, &rect);
      SetStretchBltMode(dc, HALFTONE);
      SetBrushOrgEx(dc, 0, 0, nullptr);
      StretchBlt(dc, 0, 0, rect.right, rect.bottom, canvas_dc_.get(), 0, 0, IconAnimation::kFrameSize,
                 IconAnimation::kFrameSize, SRCCOPY);
      EndPaint(icon, &paint);
      return 0;
    }
    case WM_MOUSEMOVE:
      Image1MouseMove();
      return 0;
    case WM_LBUTTONDOWN:
      Image1MouseDown();
      return 0;
  }
  return DefWindowProcW(icon, message, wparam, lparam);
}

}  // namespace orvela
