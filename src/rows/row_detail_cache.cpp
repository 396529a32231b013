#include "rows/row_detail_cache.h"

namespace orvela {

FileDetails RowDetailCache::Find(const std::string& path, const std::optional<FileStamp>& stamp) {
  if (!stamp) {
    entries_.erase(path);
    return {};
  }
  auto [it, added] = entries_.try_emplace(path);
  if (!added && it->second.stamp != *stamp) it->second.details = FileDetails{};
  it->second.stamp = *stamp;
  return it->second.details;
}

void RowDetailCache::Keep(const std::string& path, const FileStamp& stamp, const FileDetails& learnt) {
  const auto it = entries_.find(path);
  if (it == entries_.end() || it->second.stamp != stamp) return;
  FileDetails& kept = it->second.details;
  if (learnt.picture) kept.picture = learnt.picture;
  if (learnt.version) kept.version = learnt.version;
  if (learnt.link) kept.link = learnt.link;
}

}  // namespace orvela
