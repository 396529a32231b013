// What a program's version resource says of it, as the lists show it.
#pragma once
#include <string>

namespace orvela {

struct VersionTexts {
  std::string product, company, legal_notice, description;
};

}  // namespace orvela
