// TOKBottomDlg, "スタートアップの追加": asks whether added programs go into a Startup folder
// or a Run key, and where. One modal run, then the caller reads kind() and location().
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "window/modal_window_win.h"
#include "platform/dpi.h"
#include "platform/handles_win.h"

namespace orvela {

// A kind selector item: filled with `background` (the highlight when selected), its
// picture of `glyphs` (first_image + item for the folder and the registry, the glyph strip's
// clock for a task), then the item's text. The page's selector and the dialog's draw alike.
void DrawKindSelectorItem(const DRAWITEMSTRUCT& item, COLORREF background, HIMAGELIST glyphs, int first_image,
                          Dpi dpi);

class TOKBottomDlg : public ModalWindow {
 public:
  // `glyphs` and `first_kind_image`: the main window's ImageList2 and the index of the
  // program folder's icon in it (the registry file's follows). The dialog opens on kind 0
  // with the location named `preferred` selected. `run_locations`: the Run locations offered
  // (OfferedRunLocations).
  TOKBottomDlg(HWND owner, Dpi dpi, std::vector<std::string> profiles, std::vector<int> run_locations,
               std::string preferred, HIMAGELIST glyphs, int first_kind_image);

  // Refills the location list for the chosen kind and selects the preferred name in it.
  void ComboBox1Change();
  void ComboBox1DrawItem(const DRAWITEMSTRUCT& item) const;

  int kind() const;
  // The profile index (kind 0) or the Run location index (kind 1); -1 when none is chosen.
  int location() const;
  bool ok() const { return ok_; }

  HWND ComboBox1 = nullptr, ComboBox2 = nullptr;
  HWND OKBtn = nullptr, CancelBtn = nullptr;

 private:
  HWND FirstFocus() const override { return OKBtn; }
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam, bool& handled) override;

  std::vector<std::string> profiles_;
  std::vector<int> run_locations_;
  std::string preferred_;
  HIMAGELIST glyphs_;
  int first_kind_image_;
  bool ok_ = false;
  UniqueHfont font_;
};

}  // namespace orvela
