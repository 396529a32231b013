#include "platform/dpi_win.h"

#include <windows.h>

namespace orvela {

Dpi SystemDpi() {
  HDC screen = GetDC(nullptr);
  if (!screen) return Dpi();
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return Dpi(dpi);
}

}  // namespace orvela
