#include "platform/image_list_win.h"

namespace orvela {

void AppendIconOrBlank(HIMAGELIST list, HICON icon) {
  if (icon) {
    ImageList_AddIcon(list, icon);
    DestroyIcon(icon);
    return;
  }
  int cx = 16, cy = 16;
  ImageList_GetIconSize(list, &cx, &cy);
  HDC screen = GetDC(nullptr);
  HBITMAP blank = CreateCompatibleBitmap(screen, cx, cy);
  HBITMAP mask = CreateBitmap(cx, cy, 1, 1, nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(dc, mask);
  PatBlt(dc, 0, 0, cx, cy, WHITENESS);  // all transparent
  SelectObject(dc, old);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  ImageList_Add(list, blank, mask);
  DeleteObject(blank);
  DeleteObject(mask);
}

}  // namespace orvela
