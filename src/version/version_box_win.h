// TVersionBox: the version box. Shows the title, version, credit, year and the maker's
// link on a coloured panel, animates the program's icon, and checks the maker's site for a
// newer release, which it downloads into a folder the user chooses. Every size is a
// 96-DPI pixel count passed through Scale().
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/device_context_win.h"
#include "platform/handles_win.h"
#include "platform/dpi.h"
#include "platform/prompt.h"
#include "version/about_dialog.h"
#include "version/http_transfer_win.h"
#include "version/icon_animation.h"

namespace orvela {

// Starts a program or opens a document the way ShellExecute does; returns its result
// (greater than 32 on success). Tests give their own.
using ShellOpen = std::function<INT_PTR(const std::string& file, const std::string& parameters)>;
INT_PTR ShellOpenNormally(const std::string& file, const std::string& parameters);

class TVersionBox {
 public:
  TVersionBox(VersionBoxSettings settings, Prompt& prompt, ShellOpen shell_open = ShellOpenNormally);
  ~TVersionBox();
  TVersionBox(const TVersionBox&) = delete;
  TVersionBox& operator=(const TVersionBox&) = delete;

  // Makes the window (hidden), owned by `owner`. False when it could not be made.
  bool Create(HWND owner);
  // Shows the box, disables the program's other windows and runs until it closes. From its
  // creation to its end the box owns the prompt's messages and choosers.
  void ShowModal();

  // Handlers, by their names on the form.
  void FormShow();
  void FormClose();
  void Timer1Timer();
  void Image1MouseMove();
  void Image1MouseDown();
  void Panel1MouseMove();
  void Label4Click();
  void UpdateChkBtnClick();
  // Asks, lets the user choose a folder and starts the download of a found release.
  void DownloadRelease(const std::string& release_name);
  // The shell's folder browser through the prompt, owned by the box (which it disables),
  // with the program's other windows disabled while it is open. nullopt when cancelled.
  std::optional<std::string> ChooseFolder(const std::string& title, const std::string& root);

  // A 96-DPI size in pixels of this screen.
  int Scale(int at_96_dpi) const { return dpi_.Scale(at_96_dpi); }

  HWND hwnd() const { return hwnd_; }
  bool closed() const { return closed_; }
  // From the Update press until its last message: a second press is ignored meanwhile.
  bool update_running() const { return update_running_; }
  const IconAnimation& animation() const { return animation_; }

  // Controls, by their names on the form.
  HWND Panel1 = nullptr, Image1 = nullptr, StaticText1 = nullptr, Label2 = nullptr, StaticText2 = nullptr,
       Label3 = nullptr, Label4 = nullptr, OKButton = nullptr, UpdateChkBtn = nullptr;

 private:
  static LRESULT CALLBACK BoxProc(HWND, UINT, WPARAM, LPARAM);
  static LRESULT CALLBACK PanelProc(HWND, UINT, WPARAM, LPARAM);
  static LRESULT CALLBACK IconProc(HWND, UINT, WPARAM, LPARAM);
  static void SayFailure(HWND window, const std::string& text);
  LRESULT BoxMessage(UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT PanelMessage(HWND panel, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT IconMessage(HWND icon, UINT message, WPARAM wparam, LPARAM lparam);
  void CreateControls();
  void AddHint(HWND control, const char* hint);
  void DrawFrame(int frame);
  void PlaceIcon();
  void PageFetched();
  // The check's time is up: given up as no connection, unless the page has come.
  void CheckTimeUp();
  void DownloadFinished();
  void Say(const std::string& text, PromptIcon icon = PromptIcon::kNone);

  VersionBoxSettings settings_;
  Prompt& prompt_;
  ShellOpen shell_open_;
  HWND hwnd_ = nullptr, owner_ = nullptr, tooltip_ = nullptr;
  bool closed_ = false;
  UniqueHfont ui_font_, title_font_, link_font_;
  UniqueHbrush panel_brush_;
  UniqueHbitmap image2_, canvas_;
  UniqueHdc canvas_dc_;
  SelectedObject canvas_selected_;  // after the canvas: given back before it goes
  POINT home_{};  // Image1's place at creation, 96-DPI pixels
  IconAnimation animation_;
  SeededRandom random_;
  Dpi dpi_;

  bool update_running_ = false;
  std::unique_ptr<BackgroundTransfer> transfer_;
  std::shared_ptr<PageFetch> page_;
  std::shared_ptr<DownloadStatus> download_;
  std::string found_release_;
};

}  // namespace orvela
