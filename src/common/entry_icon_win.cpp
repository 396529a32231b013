#include "common/entry_icon_win.h"

#include <cstdint>

#include "common/entry_colours.h"
#include "platform/handles_win.h"

namespace orvela {

void DrawEntryIcon(HDC dc, HIMAGELIST images, int index, int designed_size, bool selected, int left,
                   int top, COLORREF fill, Dpi dpi) {
  const int size = dpi.Scale(designed_size);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = size;
  info.bmiHeader.biHeight = -size;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueHbitmap bitmap(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  UniqueHdc memory(CreateCompatibleDC(dc));
  if (!bitmap || !memory || bits == nullptr) return;
  const HGDIOBJ old_bitmap = SelectObject(memory.get(), bitmap.get());

  UniqueHbrush brush(CreateSolidBrush(fill));
  RECT square{0, 0, size, size};
  FillRect(memory.get(), &square, brush.get());
  if (images != nullptr && index >= 0 && index < ImageList_GetImageCount(images)) {
    UniqueHicon icon(ImageList_GetIcon(images, index, ILD_NORMAL));
    if (icon) DrawIconEx(memory.get(), 0, 0, icon.get(), size, size, 0, nullptr, DI_NORMAL);
  }
  GdiFlush();  // the pixels are touched directly below
  if (selected) {
    auto* pixel = static_cast<uint32_t*>(bits);
    for (int i = 0; i < size * size; ++i) pixel[i] = NavyBlendDibPixel(pixel[i]);
  }
  BitBlt(dc, left + dpi.Scale(2), top + dpi.Scale(designed_size == 32 ? 5 : 2), size, size, memory.get(), 0, 0,
         SRCCOPY);
  SelectObject(memory.get(), old_bitmap);
}

}  // namespace orvela
