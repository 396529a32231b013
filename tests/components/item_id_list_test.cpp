#include <doctest.h>

#include "components/item_id_list.h"

using namespace orvela;

TEST_CASE("item id list size and hex round trip") {
  // Two items (4 and 3 bytes) and the terminator.
  const std::vector<std::uint8_t> list = {0x04, 0x00, 0xAB, 0xCD, 0x03, 0x00, 0x7F, 0x00, 0x00};
  CHECK(ItemIdListSize(list.data(), list.size()) == 7u);
  CHECK(ItemIdListSize(list.data(), kShellOwnedList) == 7u);
  CHECK(ItemIdListToHex(list.data(), list.size()) == "0400ABCD03007F");
  CHECK(HexToItemIdList("0400ABCD03007F") == list);
  CHECK(HexToItemIdList("0400abcd03007f") == list);

  const std::uint8_t desktop[] = {0x00, 0x00};
  CHECK(ItemIdListSize(desktop, 2) == 0u);
  CHECK(ItemIdListToHex(desktop, 2) == "");
  CHECK(HexToItemIdList("") == std::vector<std::uint8_t>{0, 0});

  SUBCASE("an item of 256 bytes or more uses the high size byte") {
    std::vector<std::uint8_t> big(0x0102, 0x5A);
    big[0] = 0x02;
    big[1] = 0x01;
    big.push_back(0);
    big.push_back(0);
    CHECK(ItemIdListSize(big.data(), big.size()) == 0x0102u);
    const auto hex = ItemIdListToHex(big.data(), big.size());
    REQUIRE(hex);
    CHECK(HexToItemIdList(*hex) == big);
  }
}

TEST_CASE("malformed lists and hex text are refused") {
  const std::uint8_t unterminated[] = {0x04, 0x00, 0xAB, 0xCD};
  CHECK_FALSE(ItemIdListSize(unterminated, sizeof unterminated));
  const std::uint8_t overlong[] = {0x09, 0x00, 0xAB, 0xCD, 0x00, 0x00};
  CHECK_FALSE(ItemIdListSize(overlong, sizeof overlong));
  const std::uint8_t size_one[] = {0x01, 0x00, 0x00, 0x00};
  CHECK_FALSE(ItemIdListSize(size_one, sizeof size_one));
  const std::uint8_t half_terminator[] = {0x03, 0x00, 0x11, 0x00};
  CHECK_FALSE(ItemIdListSize(half_terminator, 3));
  CHECK_FALSE(ItemIdListSize(nullptr, 10));
  CHECK_FALSE(ItemIdListToHex(overlong, sizeof overlong));

  CHECK_FALSE(HexToItemIdList("0400ABC"));     // odd length
  CHECK_FALSE(HexToItemIdList("0400ABCG"));    // not a hex digit
  CHECK_FALSE(HexToItemIdList("0400AB CD"));
  CHECK_FALSE(HexToItemIdList("0500ABCD"));    // item longer than the bytes
  CHECK_FALSE(HexToItemIdList("0300AB0000"));  // terminator inside: bytes left over
  CHECK_FALSE(HexToItemIdList("0100"));        // size smaller than its own field
  CHECK_FALSE(HexToItemIdList("0000"));
}
