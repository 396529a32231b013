#include "version/http_transfer_win.h"

#include <algorithm>
#include <optional>

#include "platform/handles_win.h"
#include "platform/wide_win.h"

namespace orvela {
namespace {

constexpr DWORD kPieceBytes = 511;
constexpr DWORD kTimeoutMs = 30000;
// Redirects are followed by hand, this many at most: wininet's own following never ends for
// a page that sends the reader back to itself.
constexpr int kMaxRedirects = 5;
// How long closing the box waits for a cancelled worker. One that waits for a server that
// stopped sending is left to end by itself (its read ends at the time-out or when the
// server goes); its temporary file is removed by the system when the file's handle closes,
// at the latest when the program ends.
constexpr DWORD kCancelGraceMs = 50;

bool IsWebAddress(const std::wstring& url) {
  return _wcsnicmp(url.c_str(), L"http://", 7) == 0 || _wcsnicmp(url.c_str(), L"https://", 8) == 0;
}

// Where a redirect answer sends the reader, resolved against the address asked for; nullopt
// when the answer is no redirect, "" when it names no place.
std::optional<std::wstring> RedirectTarget(HINTERNET request, const std::wstring& asked) {
  DWORD status = 0, size = sizeof status;
  if (!HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
    return std::nullopt;
  if (status != 301 && status != 302 && status != 303 && status != 307 && status != 308) return std::nullopt;
  std::wstring location(INTERNET_MAX_URL_LENGTH, L'\0');
  DWORD bytes = static_cast<DWORD>(location.size() * sizeof(wchar_t));
  if (!HttpQueryInfoW(request, HTTP_QUERY_LOCATION, location.data(), &bytes, nullptr)) return std::wstring();
  location.resize(bytes / sizeof(wchar_t));
  std::wstring target(INTERNET_MAX_URL_LENGTH, L'\0');
  DWORD length = static_cast<DWORD>(target.size());
  if (!InternetCombineUrlW(asked.c_str(), location.c_str(), target.data(), &length, ICU_NO_ENCODE))
    return std::wstring();
  target.resize(length);
  return target;
}

// A session and a request for one address, both closed when it goes. A redirect is followed
// to another web address; a request that ends in no answer has none.
class OpenedUrl {
 public:
  OpenedUrl(const std::string& address, TransferControl& control) : control_(control) {
    session_ = control.Adopt(InternetOpenW(L"123", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session_) return;
    DWORD timeout = kTimeoutMs;
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT})
      InternetSetOptionW(session_, option, &timeout, sizeof timeout);
    // Always from the server: the page says which release is newest now.
    constexpr DWORD kFlags =
        INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_AUTO_REDIRECT;
    std::wstring url = Wide(address);
    for (int redirects = 0;; ++redirects) {
      request_ = control.Adopt(InternetOpenUrlW(session_, url.c_str(), nullptr, 0, kFlags, 0));
      if (!request_) return;
      std::optional<std::wstring> next = RedirectTarget(request_, url);
      if (!next) return;
      control.Close(request_);
      request_ = nullptr;
      if (redirects == kMaxRedirects || !IsWebAddress(*next)) return;
      url = std::move(*next);
    }
  }
  ~OpenedUrl() {
    if (request_) control_.Close(request_);
    if (session_) control_.Close(session_);
  }
  OpenedUrl(const OpenedUrl&) = delete;
  OpenedUrl& operator=(const OpenedUrl&) = delete;

  bool has_session() const { return session_ != nullptr; }
  HINTERNET request() const { return request_; }

  // True when the server answered 200 OK.
  bool Succeeded() const {
    DWORD status = 0, size = sizeof status;
    return request_ && HttpQueryInfoW(request_, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr) &&
           status == HTTP_STATUS_OK;
  }

  std::optional<std::uint64_t> ContentLength() const {
    wchar_t value[32] = {};
    DWORD size = sizeof value;
    if (!HttpQueryInfoW(request_, HTTP_QUERY_CONTENT_LENGTH, value, &size, nullptr)) return std::nullopt;
    return ParseContentLength(Narrow(value));
  }

 private:
  TransferControl& control_;
  HINTERNET session_ = nullptr;
  HINTERNET request_ = nullptr;
};

// Marks the file to be removed when its last handle closes, or takes the mark away.
bool MarkForDeletion(HANDLE file, bool remove) {
  FILE_DISPOSITION_INFO disposition{static_cast<BOOLEAN>(remove)};
  return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition) != FALSE;
}

enum class ReadEnd { kComplete, kFailed, kCancelled, kStoppedByCaller };

// Reads the answer in pieces until a read returns no bytes; `take` returns false to stop.
template <typename Take>
ReadEnd ReadPieces(HINTERNET request, TransferControl& control, Take&& take) {
  char piece[kPieceBytes];
  for (;;) {
    if (control.cancelled()) return ReadEnd::kCancelled;
    DWORD got = 0;
    if (!InternetReadFile(request, piece, kPieceBytes, &got))
      return control.cancelled() ? ReadEnd::kCancelled : ReadEnd::kFailed;
    if (got == 0) return control.cancelled() ? ReadEnd::kCancelled : ReadEnd::kComplete;
    if (!take(std::string_view(piece, got))) return ReadEnd::kStoppedByCaller;
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------

TransferControl::TransferControl() { InitializeCriticalSection(&lock_); }
TransferControl::~TransferControl() {
  for (HINTERNET h : open_) InternetCloseHandle(h);
  DeleteCriticalSection(&lock_);
}

void TransferControl::Cancel() {
  std::vector<HINTERNET> closing;
  EnterCriticalSection(&lock_);
  cancelled_ = true;
  closing.swap(open_);
  LeaveCriticalSection(&lock_);
  // Requests first: closing them is what wakes a read that is waiting for the server.
  for (auto it = closing.rbegin(); it != closing.rend(); ++it) InternetCloseHandle(*it);
}

bool TransferControl::cancelled() const {
  EnterCriticalSection(&lock_);
  const bool result = cancelled_;
  LeaveCriticalSection(&lock_);
  return result;
}

HINTERNET TransferControl::Adopt(HINTERNET handle) {
  if (!handle) return nullptr;
  EnterCriticalSection(&lock_);
  const bool keep = !cancelled_;
  if (keep) open_.push_back(handle);
  LeaveCriticalSection(&lock_);
  if (!keep) InternetCloseHandle(handle);
  return keep ? handle : nullptr;
}

void TransferControl::Close(HINTERNET handle) {
  EnterCriticalSection(&lock_);
  const auto it = std::find(open_.begin(), open_.end(), handle);
  const bool mine = it != open_.end();
  if (mine) open_.erase(it);
  LeaveCriticalSection(&lock_);
  if (mine) InternetCloseHandle(handle);
}

// ---------------------------------------------------------------------------------------

PageFetch FetchUpdatePage(const std::string& address, TransferControl& control) {
  PageFetch fetch;
  OpenedUrl url(address, control);
  if (control.cancelled()) {
    fetch.status = PageFetch::Status::kCancelled;
    return fetch;
  }
  if (!url.has_session()) {
    fetch.status = PageFetch::Status::kNoSession;
    return fetch;
  }
  if (!url.Succeeded()) return fetch;
  const std::optional<std::uint64_t> length = url.ContentLength();
  std::uint64_t received = 0;
  const ReadEnd end = ReadPieces(url.request(), control, [&](std::string_view piece) {
    received += piece.size();
    return AppendPagePiece(fetch.text, piece);
  });
  if (end == ReadEnd::kCancelled) {
    fetch.status = PageFetch::Status::kCancelled;
  } else if (end == ReadEnd::kStoppedByCaller || (end == ReadEnd::kComplete && (!length || *length == received))) {
    // A page too long to be an update page is searched as far as it was read.
    fetch.status = PageFetch::Status::kOk;
  } else {
    fetch.text.clear();
  }
  return fetch;
}

DownloadStatus DownloadToFolder(const std::string& address, const std::string& folder,
                                const std::string& release_name, bool replace, TransferControl& control) {
  OpenedUrl url(address, control);
  if (control.cancelled()) return DownloadStatus::kCancelled;
  if (!url.Succeeded()) return DownloadStatus::kNoConnection;
  const std::optional<std::uint64_t> length = url.ContentLength();

  wchar_t temp[MAX_PATH] = {};
  if (!GetTempFileNameW(Wide(folder).c_str(), L"orv", 0, temp)) return DownloadStatus::kCannotCreate;
  bool kept = false;
  ScopeExit remove_partial([&] {
    if (!kept) DeleteFileW(temp);
  });
  UniqueFile file(
      CreateFileW(temp, GENERIC_WRITE | DELETE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return DownloadStatus::kCannotCreate;
  // Whatever ends the download, the program's end included (a worker may still wait for a
  // silent server then), the system removes the file when its handle closes. Only a
  // complete download takes the mark away.
  const bool marked = MarkForDeletion(file.get(), true);

  std::uint64_t received = 0;
  std::string tail;  // the last bytes, where a whole archive has its end record
  bool write_failed = false, too_long = false;
  const ReadEnd end = ReadPieces(url.request(), control, [&](std::string_view piece) {
    if (length && received + piece.size() > *length) {
      too_long = true;  // no reason to read what nobody announced
      return false;
    }
    tail += piece;
    if (tail.size() > 2 * kZipTailBytes) tail.erase(0, tail.size() - kZipTailBytes);
    DWORD written = 0;
    if (!WriteFile(file.get(), piece.data(), static_cast<DWORD>(piece.size()), &written, nullptr) ||
        written != piece.size()) {
      write_failed = true;
      return false;
    }
    received += written;
    return true;
  });
  if (end == ReadEnd::kCancelled) return DownloadStatus::kCancelled;
  if (too_long) return DownloadStatus::kNotWholeArchive;
  if (write_failed) return DownloadStatus::kCannotWrite;
  if (end != ReadEnd::kComplete || (length && *length != received)) return DownloadStatus::kInterrupted;
  // wininet gives no more than the server announced: an archive announced too short comes
  // in cut, and only its own end can tell.
  const std::string_view last = std::string_view(tail).substr(tail.size() - std::min(tail.size(), kZipTailBytes));
  if (!IsWholeZipArchive(last, received)) return DownloadStatus::kNotWholeArchive;
  if (!FlushFileBuffers(file.get())) return DownloadStatus::kCannotWrite;
  if (control.cancelled()) return DownloadStatus::kCancelled;
  if (marked && !MarkForDeletion(file.get(), false)) return DownloadStatus::kCannotWrite;
  file.reset();
  const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
  if (!MoveFileExW(temp, Wide(folder + release_name).c_str(), flags)) return DownloadStatus::kCannotReplace;
  kept = true;
  return DownloadStatus::kDone;
}

// ---------------------------------------------------------------------------------------

struct BackgroundTransfer::Shared {
  TransferControl control;
  std::function<void(TransferControl&)> work;
  HWND window = nullptr;
  UINT message = 0;
  std::atomic<bool> finished{false};
};

BackgroundTransfer::BackgroundTransfer(HWND window, UINT message, std::function<void(TransferControl&)> work)
    : shared_(std::make_shared<Shared>()) {
  shared_->work = std::move(work);
  shared_->window = window;
  shared_->message = message;
  auto* handed = new std::shared_ptr<Shared>(shared_);
  thread_.reset(CreateThread(nullptr, 0, Run, handed, 0, nullptr));
  if (!thread_) delete handed;
}

BackgroundTransfer::~BackgroundTransfer() {
  Cancel();
  if (thread_) WaitForSingleObject(thread_.get(), kCancelGraceMs);
}

DWORD WINAPI BackgroundTransfer::Run(void* data) {
  std::shared_ptr<Shared> shared = std::move(*static_cast<std::shared_ptr<Shared>*>(data));
  delete static_cast<std::shared_ptr<Shared>*>(data);
  try {
    shared->work(shared->control);
  } catch (...) {
    // The result stays as the work left it; the window reports what it finds.
  }
  shared->finished.store(true, std::memory_order_release);
  if (!shared->control.cancelled()) PostMessageW(shared->window, shared->message, 0, 0);
  return 0;
}

bool BackgroundTransfer::finished() const { return shared_->finished.load(std::memory_order_acquire); }

void BackgroundTransfer::Cancel() { shared_->control.Cancel(); }

bool BackgroundTransfer::Wait(DWORD milliseconds) const {
  return !thread_ || WaitForSingleObject(thread_.get(), milliseconds) == WAIT_OBJECT_0;
}

}  // namespace orvela
