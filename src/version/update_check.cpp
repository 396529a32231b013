#include "version/update_check.h"

#include <algorithm>

#include "platform/plain_text.h"

namespace orvela {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A character that cannot stand in a plain file name of the chosen folder.
bool UnfitForFileName(char c) {
  return static_cast<unsigned char>(c) < ' ' || std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos;
}

constexpr std::string_view kZip = ".zip";
constexpr std::size_t kVersionDigits = 4;

}  // namespace

std::string UpdatePageName(std::string_view update_file_name) {
  return std::string(update_file_name.empty() ? kDefaultUpdatePage : update_file_name);
}

std::string UpdatePageAddress(std::string_view site_url, std::string_view folder_name,
                              std::string_view page_name) {
  std::string address(site_url);
  address += Trim(folder_name, Blanks::kSpacesAndControls);
  if (folder_name != " ") address += '/';
  address += page_name;
  return address;
}

std::string ReleaseAddress(std::string_view site_url, std::string_view down_folder,
                           std::string_view release_name) {
  std::string address(site_url);
  address += down_folder;
  address += '/';
  address += release_name;
  return address;
}

bool AppendPagePiece(std::string& page, std::string_view piece) {
  piece = piece.substr(0, piece.find('\0'));
  const std::size_t room = kMaxPageBytes - std::min(page.size(), kMaxPageBytes);
  page += piece.substr(0, room);
  return page.size() < kMaxPageBytes;
}

std::optional<std::string> FindReleaseName(std::string_view page, std::string_view update_name) {
  if (update_name.empty() || std::any_of(update_name.begin(), update_name.end(), UnfitForFileName) ||
      update_name.find("..") != std::string_view::npos)
    return std::nullopt;
  const std::size_t at = page.find(update_name);
  if (at == std::string_view::npos) return std::nullopt;
  const std::string_view name = page.substr(at, update_name.size() + kVersionDigits + kZip.size());
  if (name.size() != update_name.size() + kVersionDigits + kZip.size()) return std::nullopt;
  const std::string_view digits = name.substr(update_name.size(), kVersionDigits);
  if (!std::all_of(digits.begin(), digits.end(), IsDigit)) return std::nullopt;
  if (name.substr(update_name.size() + kVersionDigits) != kZip) return std::nullopt;
  return std::string(name);
}

std::string_view ReleaseVersion(std::string_view release_name) {
  const std::size_t zip = release_name.find(kZip);
  if (zip == std::string_view::npos || zip < kVersionDigits) return {};
  return release_name.substr(zip - kVersionDigits, kVersionDigits);
}

bool IsNewerRelease(std::string_view own_version, std::string_view release_version) {
  // char_traits<char> compares as unsigned char, byte by byte: four digits against four
  // compare as their numbers do.
  return own_version.compare(release_version) < 0;
}

UpdateVerdict EvaluateUpdatePage(std::string_view page, const UpdateSettings& settings) {
  const std::optional<std::string> name = FindReleaseName(page, settings.update_name);
  if (!name) return {UpdateVerdict::Kind::kNoRelease, {}};
  if (!IsNewerRelease(settings.ver_str, ReleaseVersion(*name))) return {UpdateVerdict::Kind::kUpToDate, {}};
  return {UpdateVerdict::Kind::kNewer, *name};
}

std::string DownloadQuestion(std::string_view release_name) {
  return "最新のアップデートファイルが見つかりました。\n'" + std::string(release_name) + "' をダウンロードしますか？";
}

std::string ReplaceQuestion(std::string_view release_name) {
  return "'" + std::string(release_name) + "' は保存先に既に有ります。\n置き換えますか？";
}

std::optional<std::uint64_t> ParseContentLength(std::string_view header_value) {
  header_value = Trim(header_value, Blanks::kSpacesAndControls);
  if (header_value.empty() || header_value.size() > 19 ||
      !std::all_of(header_value.begin(), header_value.end(), IsDigit))
    return std::nullopt;
  std::uint64_t value = 0;
  for (char c : header_value) value = value * 10 + static_cast<std::uint64_t>(c - '0');
  return value;
}

bool IsWholeZipArchive(std::string_view tail, std::uint64_t size) {
  constexpr std::size_t kRecord = 22;
  if (tail.size() < kRecord || tail.size() > size) return false;
  auto number = [&](std::size_t at, int bytes) {
    std::uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(tail[at + i]);
    return value;
  };
  for (std::size_t at = tail.size() - kRecord + 1; at-- > 0;) {
    if (tail.substr(at, 4) != std::string_view("PK\x05\x06", 4)) continue;
    if (at + kRecord + number(at + 20, 2) != tail.size()) continue;  // the comment ends the file
    return number(at + 16, 4) + number(at + 12, 4) == size - (tail.size() - at);
  }
  return false;
}

std::string DownloadMessage(DownloadStatus status, std::string_view release_name) {
  const std::string name(release_name);
  switch (status) {
    case DownloadStatus::kDone: return std::string(kDownloadDoneMessage);
    case DownloadStatus::kNoConnection: return std::string(kNoConnectionMessage);
    case DownloadStatus::kCannotCreate: return "保存先にファイルを作成できませんでした。";
    case DownloadStatus::kInterrupted:
      return "ダウンロードが途中で終わりました。\n'" + name + "' は保存されていません。";
    case DownloadStatus::kNotWholeArchive:
      return "受け取ったファイルは書庫として完全ではありません。\nサーバーが知らせた大きさが中身と合っていないか、"
             "サーバー上のファイルが壊れています。\n'" + name + "' は保存されていません。";
    case DownloadStatus::kCannotWrite:
      return "ファイルに書き込めませんでした。\n'" + name + "' は保存されていません。";
    case DownloadStatus::kCannotReplace:
      return "'" + name + "' として保存できませんでした。";
    case DownloadStatus::kCancelled: break;
  }
  return {};
}

}  // namespace orvela
