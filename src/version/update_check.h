// The update check's rules: the addresses asked for, what of the update page counts as a
// release name, and whether that release is newer than this program. No network here.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvela {

inline constexpr std::string_view kNoConnectionMessage = "接続できませんでした。";
inline constexpr std::string_view kNoReleaseMessage = "アップデートファイルが有りません！";
inline constexpr std::string_view kUpToDateMessage = "お使いのソフトは最新のバージョンです。";
inline constexpr std::string_view kDownloadDoneMessage = "ダウンロードが完了しました。";
inline constexpr std::string_view kUpdateCaption = "Update";
inline constexpr std::string_view kChooseFolderTitle = "保存先を選択して下さい";
inline constexpr std::string_view kDefaultUpdatePage = "UpdateFilePage.html";
// The update page names one archive; anything beyond this is no update page.
inline constexpr std::size_t kMaxPageBytes = 1 << 20;
// A check that has not read the page by then is given up as no connection: a site that
// stops answering must not keep the box busy for ever.
inline constexpr unsigned kCheckTimeLimitMs = 30000;

// What the update settings of one box say about the web site.
struct UpdateSettings {
  std::string page_name;      // the update page ("UpdateFilePage.html" unless set)
  std::string update_name;    // stem of the archive name, "Orvela_Up"
  std::string folder_name;    // folder of the page on the site
  std::string down_folder;    // folder of the archives on the site
  std::string ver_str;        // this program's version as four digits
  unsigned check_time_limit_ms = kCheckTimeLimitMs;
};

// The page name a box uses: the default when none is set.
std::string UpdatePageName(std::string_view update_file_name);

// site_url + folder with blanks trimmed + "/" + page; a folder of exactly one blank means
// "no folder" and leaves the "/" out. site_url ends in "/".
std::string UpdatePageAddress(std::string_view site_url, std::string_view folder_name,
                              std::string_view page_name);
std::string ReleaseAddress(std::string_view site_url, std::string_view down_folder,
                           std::string_view release_name);

// Appends one piece of the page as read from the network. A piece counts up to its first
// zero byte, so a stray NUL cannot hide the rest of a piece's text behind it. Returns false
// once the page has reached kMaxPageBytes (the rest is not wanted).
bool AppendPagePiece(std::string& page, std::string_view piece);

// The release archive named on the page: the text from the first occurrence of
// update_name, when it is exactly update_name + four digits + ".zip". Anything else there
// (a path, "..", a blank, a control character, a short page) means no release: the name
// becomes a file name in the user's folder.
std::optional<std::string> FindReleaseName(std::string_view page, std::string_view update_name);

// The four version digits of a release name found by FindReleaseName.
std::string_view ReleaseVersion(std::string_view release_name);

// Own version compared with the release's as text, byte by byte (a prefix sorts first).
bool IsNewerRelease(std::string_view own_version, std::string_view release_version);

struct UpdateVerdict {
  enum class Kind { kNoRelease, kUpToDate, kNewer } kind;
  std::string release_name;  // for kNewer
};
UpdateVerdict EvaluateUpdatePage(std::string_view page, const UpdateSettings& settings);

// The question before a download.
std::string DownloadQuestion(std::string_view release_name);
std::string ReplaceQuestion(std::string_view release_name);

// Content-Length as the server sent it; nullopt when absent or not a plain number.
std::optional<std::uint64_t> ParseContentLength(std::string_view header_value);

// A ZIP archive ends with its end record (22 bytes and a comment of up to 65535): the
// comment must end where the file ends, and the central directory the record points to must
// end where the record begins. A file cut short anywhere fails this (so does a ZIP64
// archive, which a release, far smaller, never is). `tail` is the file's last
// kZipTailBytes bytes (all of a shorter file), `size` the whole file's size.
inline constexpr std::size_t kZipTailBytes = 22 + 65535;
bool IsWholeZipArchive(std::string_view tail, std::uint64_t size);

// How a download ended; the message the user is shown for it (empty: nothing to show).
enum class DownloadStatus {
  kDone,
  kNoConnection,   // no session, no answer, or a status other than 200
  kCannotCreate,   // no file could be made in the chosen folder
  kInterrupted,    // the transfer broke off or was shorter than announced
  kNotWholeArchive,  // more than announced, or no whole ZIP archive
  kCannotWrite,
  kCannotReplace,  // complete, but could not take the release's name
  kCancelled,      // the box was closed
};
std::string DownloadMessage(DownloadStatus status, std::string_view release_name);

}  // namespace orvela
