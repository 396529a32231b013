// Feeds arbitrary bytes to the update page reader, in the pieces the network gives. A
// release name, when one is found, is always the stem, four digits and ".zip": nothing a
// page says can name a file outside the chosen folder. The same bytes, as the end of a
// downloaded archive, go to the archive check, which must read only what it is given.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "version/update_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orvela;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (IsWholeZipArchive(bytes.substr(size / 3), size) && size < 22) std::abort();
  std::string page;
  for (std::size_t at = 0; at < bytes.size(); at += 511)
    if (!AppendPagePiece(page, bytes.substr(at, 511))) break;
  if (page.size() > kMaxPageBytes || page.find('\0') != std::string::npos) std::abort();

  UpdateSettings settings;
  settings.update_name = "Orvela_Up";
  settings.ver_str = "1277";
  const UpdateVerdict verdict = EvaluateUpdatePage(page, settings);
  if (verdict.kind != UpdateVerdict::Kind::kNewer) return 0;
  const std::string& name = verdict.release_name;
  if (name.size() != 17 || name.compare(0, 9, "Orvela_Up") != 0 || name.compare(13, 4, ".zip") != 0) std::abort();
  for (std::size_t i = 9; i < 13; ++i)
    if (name[i] < '0' || name[i] > '9') std::abort();
  if (!IsNewerRelease("1277", ReleaseVersion(name))) std::abort();
  return 0;
}
