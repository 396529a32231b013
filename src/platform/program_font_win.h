// The program's one typeface, "ＭＳ Ｐゴシック", for its windows, lists and dialogs.
#pragma once

#include <windows.h>

#include "platform/handles_win.h"

namespace orvela {

struct FontStyle {
  bool bold = false;
  bool underline = false;
  BYTE quality = DEFAULT_QUALITY;
};

// Characters `pixels` device pixels high (already scaled to the screen).
UniqueHfont CreateProgramFont(int pixels, FontStyle style = {});

}  // namespace orvela
