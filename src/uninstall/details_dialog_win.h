// TOKBottomDlg1, "詳細": every value of one uninstall entry's key, the three that matter
// most highlighted, and the selected value in full in a text box at the top. Changes
// nothing.
#pragma once
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/dpi.h"
#include "platform/handles_win.h"
#include "window/modal_window_win.h"

namespace orvela {

class TOKBottomDlg1 : public ModalWindow {
 public:
  // rows: (value name, text) in the order shown.
  TOKBottomDlg1(HWND owner, Dpi dpi, std::vector<std::pair<std::string, std::string>> rows);

  void ListView1SelectItem(int row);
  // The text box's content (for tests and the keyboard user's copy).
  std::string RichEdit1Text() const;

  HWND RichEdit1 = nullptr;
  HWND ListView1 = nullptr;
  HWND OKBtn = nullptr;  // centred in the 41-pixel strip at the bottom

 private:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam, bool& handled) override;
  HWND FirstFocus() const override { return ListView1; }
  void FormResize();
  LRESULT ListView1CustomDraw(NMLVCUSTOMDRAW& draw);

  std::vector<std::pair<std::string, std::string>> rows_;
  UniqueHfont font_, list_font_, bold_font_, box_font_;
  UniqueModule rich_edit_library_;
};

}  // namespace orvela
