// Reading the update page and downloading a release over wininet, on a worker thread so
// the version box keeps answering (and animating) while the site is slow.
#pragma once
#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/handles_win.h"
#include "version/update_check.h"

namespace orvela {

// Shared by the box and the worker. Cancel closes every handle the worker holds (which ends
// a waiting read on Windows, not under Wine) and sets the flag the worker checks between
// reads; the worker then stops at its next step.
class TransferControl {
 public:
  TransferControl();
  ~TransferControl();
  TransferControl(const TransferControl&) = delete;
  TransferControl& operator=(const TransferControl&) = delete;

  void Cancel();
  bool cancelled() const;
  // Takes a handle the worker opened; null (and the handle closed) once cancelled.
  HINTERNET Adopt(HINTERNET handle);
  // Closes a handle taken by Adopt, unless Cancel closed it already.
  void Close(HINTERNET handle);

 private:
  mutable CRITICAL_SECTION lock_;
  bool cancelled_ = false;
  std::vector<HINTERNET> open_;
};

struct PageFetch {
  enum class Status { kNoSession, kNoConnection, kCancelled, kOk } status = Status::kNoConnection;
  std::string text;  // the page, as AppendPagePiece collects it
};

// Reads the page at `address`. Anything but a complete answer with status 200 is
// kNoConnection: an error page is never searched, and a redirect is followed five times at
// most.
PageFetch FetchUpdatePage(const std::string& address, TransferControl& control);

// Downloads `address` into folder + release_name: the bytes go to a new temporary file in
// the folder, which takes the release's name only when every byte announced was read and
// written and they make a whole ZIP archive (kNotWholeArchive otherwise, also for more
// bytes than announced). A file of that name is replaced only when `replace` is set. The
// temporary file is marked for removal as it is made, so it goes whatever ends the
// download, the program's end included. `folder` ends in a backslash.
DownloadStatus DownloadToFolder(const std::string& address, const std::string& folder,
                                const std::string& release_name, bool replace, TransferControl& control);

// Runs one piece of work on a thread of its own, then posts `message` to `window` (unless
// cancelled). The window takes the work's result when the message comes.
class BackgroundTransfer {
 public:
  BackgroundTransfer(HWND window, UINT message, std::function<void(TransferControl&)> work);
  // Cancels, and waits for the worker 50 ms at most: one that waits for a silent server
  // ends by itself later, unseen (it posts nothing once cancelled).
  ~BackgroundTransfer();
  BackgroundTransfer(const BackgroundTransfer&) = delete;
  BackgroundTransfer& operator=(const BackgroundTransfer&) = delete;

  bool started() const { return static_cast<bool>(thread_); }
  bool finished() const;
  void Cancel();
  // True when the worker has ended within the time.
  bool Wait(DWORD milliseconds) const;

 private:
  struct Shared;
  static DWORD WINAPI Run(void* data);
  std::shared_ptr<Shared> shared_;
  UniqueHandle thread_;
};

}  // namespace orvela
