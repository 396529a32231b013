#include "platform/dpi_win.h"

#include <windows.h>

#include "platform/device_context_win.h"

namespace orvela {

Dpi SystemDpi() {
  const WindowDc screen(nullptr);
  if (!screen) return Dpi();
  return Dpi(GetDeviceCaps(screen.get(), LOGPIXELSY));
}

}  // namespace orvela
