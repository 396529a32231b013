#include "platform/image_list_win.h"

#include "platform/device_context_win.h"
#include "platform/handles_win.h"

namespace orvela {

void AppendIconOrBlank(HIMAGELIST list, HICON icon) {
  if (icon) {
    ImageList_AddIcon(list, icon);
    DestroyIcon(icon);
    return;
  }
  int cx = 16, cy = 16;
  ImageList_GetIconSize(list, &cx, &cy);
  const WindowDc screen(nullptr);
  const UniqueHbitmap blank(CreateCompatibleBitmap(screen.get(), cx, cy));
  const UniqueHbitmap mask(CreateBitmap(cx, cy, 1, 1, nullptr));
  {
    const UniqueHdc dc(CreateCompatibleDC(screen.get()));
    const SelectedObject drawn_into(dc.get(), mask.get());
    PatBlt(dc.get(), 0, 0, cx, cy, WHITENESS);  // all transparent
  }
  ImageList_Add(list, blank.get(), mask.get());
}

}  // namespace orvela
