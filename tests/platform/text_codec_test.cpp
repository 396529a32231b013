#include <doctest.h>

#include "platform/ansi_codec.h"
#include "platform/utf.h"

using namespace orvela;

TEST_CASE("UTF-8 and UTF-16 round trip, broken input becomes U+FFFD") {
  const std::string text = "表示 A\\B \xF0\x9F\x98\x80";  // 😀 needs a surrogate pair
  const std::u16string wide = Utf8ToUtf16(text);
  CHECK(wide.size() == 9);
  CHECK(Utf16ToUtf8(wide) == text);
  CHECK(Utf8ToUtf16("a\xFF" "b") == u"a\uFFFDb");
  CHECK(Utf16ToUtf8(std::u16string(1, char16_t(0xD800))) == "\xEF\xBF\xBD");
  CHECK(IsValidUtf8(text));
  CHECK_FALSE(IsValidUtf8("\xE8\xA1"));
  CHECK_FALSE(IsValidUtf8("\xC0\x80"));  // overlong NUL
}

TEST_CASE("code page 932: trail byte 0x5C stays part of its character") {
  const std::string hyou_cp932 = "C:\\\x95\x5C";  // C:\表
  auto utf8 = AnsiToUtf8(hyou_cp932);
  REQUIRE(utf8);
  CHECK(*utf8 == "C:\\表");
  CHECK(Utf8ToAnsi(*utf8) == hyou_cp932);
  CHECK(Utf8ToAnsi("Ｖ＆Ｌ") == std::string("\x82\x75\x81\x95\x82\x6B"));
}

TEST_CASE("file text: ANSI when it fits, UTF-8 with a byte-order mark otherwise") {
  CHECK(EncodeFileText("User@表=x") == "User@\x95\x5C=x");
  const std::string emoji = "name=\xF0\x9F\x98\x80 한국";
  CHECK_FALSE(Utf8ToAnsi(emoji));
  const std::string stored = EncodeFileText(emoji);
  CHECK(stored.substr(0, 3) == "\xEF\xBB\xBF");
  CHECK(DecodeFileText(stored) == emoji);
  CHECK(DecodeFileText("User@\x95\x5C=x") == "User@表=x");
  CHECK_FALSE(DecodeFileText("\x81"));  // a lead byte without its trail byte
  CHECK_FALSE(DecodeFileText("\xEF\xBB\xBF\xFF"));
}
