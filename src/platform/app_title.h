// The title every box of the program carries.
#pragma once
#include <string_view>

namespace orvela {

inline constexpr std::string_view kAppTitle = "Orvela";

}  // namespace orvela
