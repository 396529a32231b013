// What the manifest asks of Windows. The test program carries the program's resources, so
// it runs under the same manifest.
#include <doctest.h>

#include <windows.h>

#include <string>

TEST_CASE("the manifest asks for the highest available rights and makes the process DPI aware") {
  HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
  REQUIRE(found);
  const auto* bytes = static_cast<const char*>(LockResource(LoadResource(nullptr, found)));
  REQUIRE(bytes);
  const std::string manifest(bytes, SizeofResource(nullptr, found));
  // Administrators are asked to elevate; other users start as they are.
  CHECK(manifest.find(R"(<requestedExecutionLevel level="highestAvailable")") != std::string::npos);
  // Without the awareness Windows would report 96 DPI and stretch the window's bitmap.
  CHECK(IsProcessDPIAware());
}
