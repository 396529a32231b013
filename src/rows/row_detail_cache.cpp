#include "rows/row_detail_cache.h"

namespace orvela {

FileDetails* RowDetailCache::Find(const std::string& path) {
  const std::optional<FileStamp> stamp = path.empty() ? std::nullopt : stamps_.StampOf(path);
  if (!stamp) {
    entries_.erase(path);
    return nullptr;
  }
  auto [it, added] = entries_.try_emplace(path);
  if (!added && it->second.stamp != *stamp) it->second.details = FileDetails{};
  it->second.stamp = *stamp;
  return &it->second.details;
}

}  // namespace orvela
