#include <doctest.h>

#include <windows.h>
#include <commctrl.h>

#include "platform/handles_win.h"
#include "rows/entry_colours.h"
#include "startup/startup_row_win.h"

using namespace orvela;

namespace {

constexpr int kWidth = 420;
constexpr Colour kWhite = Rgb(255, 255, 255);

// A 32-bit DIB section to draw rows into and read back pixel by pixel.
class Canvas {
 public:
  explicit Canvas(int height = kStartupRowHeight) : dc_(CreateCompatibleDC(nullptr)), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -height_;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_.reset(CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    REQUIRE(bitmap_);
    bits_ = static_cast<uint32_t*>(bits);
    old_ = SelectObject(dc_.get(), bitmap_.get());
    Clear();
  }
  ~Canvas() { SelectObject(dc_.get(), old_); }

  HDC dc() const { return dc_.get(); }
  void Clear() { std::fill(bits_, bits_ + kWidth * height_, 0x00FFFFFFu); }
  uint32_t Raw(int x, int y) const {
    GdiFlush();
    return bits_[y * kWidth + x];
  }
  Colour At(int x, int y) const {
    const uint32_t p = Raw(x, y);
    return Rgb((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  int Count(Colour colour, int left, int top, int right, int bottom) const {
    int n = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) n += At(x, y) == colour;
    return n;
  }
  int CountAll(Colour colour) const { return Count(colour, 0, 0, kWidth, height_); }

 private:
  UniqueHdc dc_;
  int height_;
  UniqueHbitmap bitmap_;
  uint32_t* bits_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

// An image list holding one opaque icon of a single colour (B, G, R, A pixel).
UniqueHimagelist SolidIconList(uint32_t pixel) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = 32;
  info.bmiHeader.biHeight = -32;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueHbitmap colour(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  REQUIRE(colour);
  std::fill(static_cast<uint32_t*>(bits), static_cast<uint32_t*>(bits) + 32 * 32, pixel);
  std::vector<unsigned char> opaque(32 * 32 / 8, 0);
  UniqueHbitmap mask(CreateBitmap(32, 32, 1, 1, opaque.data()));
  ICONINFO icon_info{TRUE, 0, 0, mask.get(), colour.get()};
  UniqueHicon icon(CreateIconIndirect(&icon_info));
  REQUIRE(icon);
  UniqueHimagelist list(ImageList_Create(32, 32, ILC_COLOR32 | ILC_MASK, 1, 1));
  REQUIRE(ImageList_ReplaceIcon(list.get(), -1, icon.get()) == 0);
  return list;
}

EntryRecord Row(int32_t key, const char* kind, bool missing = false) {
  EntryRecord row;
  row.Key = key;
  row.Kind = kind;
  row.Name = "MMM";
  row.Command = "C:\\Apps\\WWW.exe /min";
  row.Company = "MMM";
  row.Description = "WWW";
  row.Missing = missing;
  return row;
}

}  // namespace

TEST_CASE("startup rows") {
  Canvas canvas;
  // Unsmoothed glyphs: a text pixel then has exactly the text colour.
  UniqueHfont font = CreateStartupListFont(NONANTIALIASED_QUALITY);
  REQUIRE(font);
  const RECT rect{0, 0, kWidth, kStartupRowHeight};
  const int all_users = 1;
  const int name_right = 100;  // "[MMM] " ends well before this at 13 pixels

  SUBCASE("the background and frame tell the source") {
    struct Case {
      EntryRecord row;
      Colour background;
    };
    const Case cases[] = {
        {Row(kUserRunKey, ""), Rgb(223, 239, 255)},     {Row(kMachineKey, "Run"), Rgb(232, 223, 255)},
        {Row(kMachineKey, "RunOnce"), Rgb(236, 203, 237)}, {Row(1, ""), Rgb(255, 236, 210)},
        {Row(4, ""), Rgb(255, 255, 215)},
    };
    for (const Case& c : cases) {
      CAPTURE(c.row.Key);
      canvas.Clear();
      DrawStartupRow(canvas.dc(), rect, c.row, false, nullptr, 0, all_users, font.get());
      const Colour frame = FramePenColour(c.background);
      CHECK(canvas.At(0, 0) == frame);
      CHECK(canvas.At(kWidth - 1, kStartupRowHeight - 1) == frame);
      CHECK(canvas.At(1, 1) == c.background);
      CHECK(canvas.At(35, 20) == c.background);
      CHECK(canvas.At(10, 20) == c.background);  // icon cell without an image
      // The name is black over its shadow; nothing red in a row that is found.
      CHECK(canvas.Count(Rgb(0, 0, 0), 37, 2, name_right, 16) > 0);
      CHECK(canvas.Count(BlendColour(c.background, 0, kShadowWeight), 37, 2, name_right, 17) > 0);
      CHECK(canvas.CountAll(kMissingNameColour) == 0);
      CHECK(canvas.Count(kCommandTextColour, name_right - 40, 2, kWidth, 15) > 0);
      CHECK(canvas.Count(kListTextColour, 37, 15, kWidth, kStartupRowHeight - 1) > 0);
    }
  }

  SUBCASE("the focused row: the system's dotted rectangle just inside the frame") {
    const EntryRecord row = Row(kUserRunKey, "");
    const Colour background = Rgb(223, 239, 255);
    const Colour inverted = ~background & 0xFFFFFFu;
    DrawStartupRow(canvas.dc(), rect, row, false, nullptr, 0, all_users, font.get());
    CHECK(canvas.Count(inverted, 1, 1, 2, kStartupRowHeight - 1) == 0);
    DrawStartupRow(canvas.dc(), rect, row, false, nullptr, 0, all_users, font.get(), Dpi(), true);
    // Every other pixel of the left and bottom edges; the frame itself is untouched.
    const int left = canvas.Count(inverted, 1, 1, 2, kStartupRowHeight - 1);
    CHECK(left >= (kStartupRowHeight - 2) / 2 - 1);
    CHECK(left < kStartupRowHeight - 2);
    CHECK(canvas.Count(inverted, 1, kStartupRowHeight - 2, kWidth - 1, kStartupRowHeight - 1) >= kWidth / 2 - 2);
    CHECK(canvas.At(0, 0) == FramePenColour(background));
    CHECK(canvas.At(1, kStartupRowHeight / 2 - 4) != canvas.At(1, kStartupRowHeight / 2 - 3));
  }

  SUBCASE("a missing program: red name, pink when selected; the command stays grey") {
    DrawStartupRow(canvas.dc(), rect, Row(kUserRunKey, "", true), false, nullptr, 0, all_users,
                   font.get());
    CHECK(canvas.Count(kMissingNameColour, 37, 2, name_right, 16) > 0);
    CHECK(canvas.Count(kMissingNameColour, name_right, 0, kWidth, kStartupRowHeight) == 0);
    CHECK(canvas.Count(kCommandTextColour, name_right - 40, 2, kWidth, 15) > 0);

    canvas.Clear();
    DrawStartupRow(canvas.dc(), rect, Row(kUserRunKey, "", true), true, nullptr, 0, all_users,
                   font.get());
    CHECK(canvas.At(1, 1) == GetSysColor(COLOR_HIGHLIGHT));
    CHECK(canvas.Count(kMissingSelectedNameColour, 37, 2, name_right, 16) > 0);
    CHECK(canvas.CountAll(kMissingNameColour) == 0);
  }

  SUBCASE("the icon of a selected row is blended toward navy") {
    const uint32_t icon_pixel = 0xFFC86432u;  // red 200, green 100, blue 50
    UniqueHimagelist icons = SolidIconList(icon_pixel);
    DrawStartupRow(canvas.dc(), rect, Row(0, ""), false, icons.get(), 0, all_users, font.get());
    CHECK(canvas.At(2, 5) == Rgb(200, 100, 50));
    CHECK(canvas.At(33, 36) == Rgb(200, 100, 50));
    CHECK(canvas.At(34, 37) == Rgb(255, 255, 215));

    canvas.Clear();
    DrawStartupRow(canvas.dc(), rect, Row(0, ""), true, icons.get(), 0, all_users, font.get());
    CHECK(canvas.At(2, 5) == Rgb(157, 78, 66));
    CHECK(canvas.At(20, 20) == Rgb(157, 78, 66));
  }

  SUBCASE("a row the table does not have is not drawn") {
    const std::vector<EntryRecord> rows = {Row(kUserRunKey, "")};
    DrawStartupListItem(canvas.dc(), rect, rows, 1, false, nullptr, -1, all_users, font.get());
    DrawStartupListItem(canvas.dc(), rect, rows, -1, false, nullptr, -1, all_users, font.get());
    CHECK(canvas.CountAll(kWhite) == kWidth * kStartupRowHeight);
    DrawStartupListItem(canvas.dc(), rect, rows, 0, false, nullptr, -1, all_users, font.get());
    CHECK(canvas.At(1, 1) == Rgb(223, 239, 255));
  }
}

TEST_CASE("a row at 144 DPI: icon, offsets and lines half as large again") {
  const Dpi dpi(144);
  const int height = dpi.Scale(kStartupRowHeight);
  Canvas canvas(height);
  UniqueHfont font = CreateStartupListFont(NONANTIALIASED_QUALITY, dpi);
  UniqueHimagelist icons = SolidIconList(0xFFC86432u);
  const Colour background = Rgb(255, 255, 215);
  DrawStartupRow(canvas.dc(), {0, 0, kWidth, height}, Row(0, ""), false, icons.get(), 0, 1, font.get(), dpi);
  // The icon: 48 x 48 at (3, 8).
  CHECK(canvas.At(3, 8) == Rgb(200, 100, 50));
  CHECK(canvas.At(50, 55) == Rgb(200, 100, 50));
  CHECK(canvas.At(51, 56) == background);
  CHECK(canvas.At(2, 7) == background);
  // The text begins at 56, past the icon; the description line at 42.
  CHECK(canvas.Count(Rgb(0, 0, 0), 0, 0, 55, height) == 0);
  CHECK(canvas.Count(Rgb(0, 0, 0), 56, 3, 150, 24) > 0);
  CHECK(canvas.Count(kListTextColour, 56, 42, kWidth, height - 1) > 0);
}
