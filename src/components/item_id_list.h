// Item id lists as bytes: a run of items, each led by its 16-bit little-endian size
// (which counts the size field itself), ended by a zero size. Shortcut targets that have
// no file-system path are stored as the hex text of these bytes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvela {

// Pass as buffer_length for a list the shell handed out, whose terminator is trusted.
inline constexpr std::size_t kShellOwnedList = SIZE_MAX;

// The bytes of the list's items (the sum of their sizes), without the terminator.
// nullopt when the list is null, an item is shorter than its size field, or an item or
// the terminator would reach past buffer_length bytes.
std::optional<std::size_t> ItemIdListSize(const std::uint8_t* list, std::size_t buffer_length);

// The items' bytes as upper-case hex, without the terminator (the desktop, an empty
// list, gives ""). nullopt when ItemIdListSize finds the list malformed.
std::optional<std::string> ItemIdListToHex(const std::uint8_t* list, std::size_t buffer_length);

// Reads what ItemIdListToHex writes (either case of hex digit) and returns the list with
// its two-byte terminator appended, ready to hand to the shell. nullopt unless the text
// is an even number of hex digits whose bytes are exactly a run of well-formed items.
std::optional<std::vector<std::uint8_t>> HexToItemIdList(std::string_view text);

}  // namespace orvela
