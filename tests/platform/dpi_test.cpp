#include <doctest.h>

#include "platform/dpi.h"

using namespace orvela;

TEST_CASE("96-DPI pixels scale to the screen's, rounded as MulDiv rounds") {
  CHECK(Dpi().Scale(42) == 42);
  CHECK(Dpi(144).Scale(42) == 63);
  CHECK(Dpi(144).Scale(489) == 734);  // 733.5: halves go up
  CHECK(Dpi(120).Scale(13) == 16);    // 16.25
  CHECK(Dpi(144).Scale(1) == 2);      // a one-pixel line stays visible
  CHECK(Dpi(144).Scale(-13) == -20);  // a font height in pixels rounds like the positive one
  CHECK(Dpi(192).Scale(16) == 32);
  CHECK(Dpi(0).Scale(16) == 16);      // no DPI known: the 96-DPI size
}
