// A flat tool button with a glyph from an image list and a caption beside it;
// buttons of a group stay down, one at a time. An owner-drawn BUTTON, so it takes the
// focus and answers the keyboard like any button.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "platform/dpi.h"

namespace orvela {

class SpeedButton {
 public:
  SpeedButton() = default;
  // The glyphs come at the size they are drawn; dpi scales the margins around them.
  void Create(HWND parent, int id, HIMAGELIST glyphs, HFONT font, Dpi dpi = Dpi());
  HWND hwnd() const { return hwnd_; }
  int id() const { return id_; }

  void SetCaption(const std::string& caption);
  const std::string& caption() const { return caption_; }
  // What a screen reader says for a button that shows only its glyph: its window text,
  // which the standard accessible object of a button reads. The face stays the glyph alone.
  void SetName(const std::string& name);
  void SetGlyph(int index);  // an index outside the image list leaves the face plain
  int glyph() const { return glyph_; }
  void SetDown(bool down);
  bool down() const { return down_; }
  void SetVisible(bool visible);
  bool visible() const;
  void SetEnabled(bool enabled);
  bool enabled() const;
  int tag = 0;

  // Width that shows glyph and caption whole.
  int PreferredWidth() const;
  // Called from the parent's WM_DRAWITEM.
  void Draw(const DRAWITEMSTRUCT& item) const;

 private:
  HWND hwnd_ = nullptr;
  HIMAGELIST glyphs_ = nullptr;
  HFONT font_ = nullptr;
  Dpi dpi_;
  int id_ = 0;
  int glyph_ = -1;
  bool down_ = false;
  std::string caption_;

  int GlyphSize() const;
};

}  // namespace orvela
