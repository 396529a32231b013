// A file time as the lists show it.
#pragma once
#include <cstdint>
#include <string>

namespace orvela {

// A FILETIME (UTC) in local time as "yyyy/mm/dd hh:nn"; "" for 0.
std::string LocalTimeText(std::int64_t time);

}  // namespace orvela
