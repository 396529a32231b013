// A window made for one modal run, its 96-DPI pixel sizes scaled for the screen:
// the base of the pages' dialogs.
#pragma once
#include <windows.h>

#include "platform/dpi.h"
#include "platform/handles_win.h"

namespace orvela {

class ModalWindow {
 public:
  virtual ~ModalWindow();
  ModalWindow(const ModalWindow&) = delete;
  ModalWindow& operator=(const ModalWindow&) = delete;

  HWND hwnd() const { return hwnd_; }
  // Shows the window centred on the screen and returns once it is closed; the owner and
  // the program's other windows take no input meanwhile, and the control that had the focus
  // has it again afterwards.
  void ShowModal();
  // Ends the modal run (the close button, Escape, Enter on the default button).
  void Close() { closed_ = true; }

 protected:
  ModalWindow(const wchar_t* class_name, HWND owner, Dpi dpi);
  // Makes the window with a client area of the given 96-DPI size; the caption as given.
  void CreateFrame(const wchar_t* caption, int client_width, int client_height);
  int Scale(int at_96_dpi) const { return dpi_.Scale(at_96_dpi); }
  Dpi dpi() const { return dpi_; }
  // The dialog font: "ＭＳ Ｐゴシック", `pixels` high at 96 DPI.
  UniqueHfont MakeFont(int pixels, bool bold = false) const;

  virtual void FormShow() {}
  // The control that has the focus when the window shows.
  virtual HWND FirstFocus() const { return nullptr; }
  // Messages of the window; set `handled` to keep the default from running.
  virtual LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam, bool& handled) = 0;

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

  const wchar_t* class_name_;
  HWND owner_;
  Dpi dpi_;
  HWND hwnd_ = nullptr;
  bool closed_ = false;
};

}  // namespace orvela
