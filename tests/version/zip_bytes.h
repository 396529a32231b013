// A real ZIP archive of one stored (uncompressed) file, as a release archive for the update
// check's tests.
#pragma once
#include <cstdint>
#include <string>

namespace orvela::testing {

inline std::uint32_t Crc32(const std::string& bytes) {
  std::uint32_t crc = 0xFFFFFFFF;
  for (unsigned char c : bytes) {
    crc ^= c;
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

inline std::string StoredZip(const std::string& name, const std::string& content, const std::string& comment = "") {
  auto put = [](std::string& out, std::size_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>(value >> (8 * i)));
  };
  const std::uint32_t crc = Crc32(content);
  // Local header: version needed, flags, method (stored), time, date, CRC, sizes, name.
  std::string zip = "PK\x03\x04";
  for (int i = 0; i < 5; ++i) put(zip, i == 0 ? 10 : 0, 2);
  put(zip, crc, 4);
  put(zip, content.size(), 4);
  put(zip, content.size(), 4);
  put(zip, name.size(), 2);
  put(zip, 0, 2);
  zip += name + content;
  // Central directory: made by, needed, flags, method, time, date, CRC, sizes, name length,
  // extra, comment, disk, attributes, the local header's offset (0), name.
  const std::size_t directory = zip.size();
  zip += "PK\x01\x02";
  for (int i = 0; i < 6; ++i) put(zip, i < 2 ? 10 : 0, 2);
  put(zip, crc, 4);
  put(zip, content.size(), 4);
  put(zip, content.size(), 4);
  put(zip, name.size(), 2);
  for (int i = 0; i < 4; ++i) put(zip, 0, 2);
  put(zip, 0, 4);
  put(zip, 0, 4);
  zip += name;
  // End record: disks, entries, the directory's size and offset, the comment.
  const std::size_t directory_size = zip.size() - directory;
  zip += "PK\x05\x06";
  for (int i = 0; i < 4; ++i) put(zip, i < 2 ? 0 : 1, 2);
  put(zip, directory_size, 4);
  put(zip, directory, 4);
  put(zip, comment.size(), 2);
  return zip + comment;
}

}  // namespace orvela::testing
