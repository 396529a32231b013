// A log-on task written straight into the scheduler's store, as Windows writes its files
// (UTF-16 with a byte-order mark), and removed again. Tests seed tasks this way because a
// scheduler may register a definition without its trigger.
#pragma once
#include <windows.h>

#include <string>

#include "platform/file_io.h"
#include "platform/folders_win.h"
#include "platform/utf.h"
#include "platform/wide_win.h"
#include "startup/task_scheduler_win.h"

namespace orvela::testing {

// A log-on task that starts "C:\windows\notepad.exe /tray".
inline constexpr char kLogonTaskXml[] =
    "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n"
    "<Task version=\"1.2\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">\r\n"
    "  <Triggers><LogonTrigger><Enabled>true</Enabled></LogonTrigger></Triggers>\r\n"
    "  <Settings><Enabled>true</Enabled></Settings>\r\n"
    "  <Actions Context=\"Author\"><Exec><Command>C:\\windows\\notepad.exe</Command>"
    "<Arguments>/tray</Arguments></Exec></Actions>\r\n</Task>\r\n";

struct SeededTask {
  std::string folder, path, file, bytes;
  SeededTask(const std::string& task_folder, const std::string& name)
      : folder(task_folder), path(task_folder + "\\" + name), file(TaskFilePath(path)) {
    const std::u16string text = Utf8ToUtf16(kLogonTaskXml);
    bytes = "\xFF\xFE" + std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
    CreateFolderTree(TaskFilePath(folder));
    WriteNewFile(file, bytes);
  }
  ~SeededTask() {
    DeleteFileW(Wide(file).c_str());
    RemoveDirectoryW(Wide(TaskFilePath(folder)).c_str());
  }
};

}  // namespace orvela::testing
