// The DPI of the screen, as a DPI-aware process sees it (the manifest declares the
// program aware of the system's DPI, which Windows 7 already honours).
#pragma once
#include "platform/dpi.h"

namespace orvela {

// The system's DPI; 96 when the screen cannot be asked.
Dpi SystemDpi();

}  // namespace orvela
