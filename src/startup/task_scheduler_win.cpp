#include "startup/task_scheduler_win.h"

#include <windows.h>
#include <oleauto.h>
#include <initguid.h>  // CLSID_TaskScheduler is defined here, in this one file
#include <taskschd.h>

#include <functional>

#include "components/link_naming.h"
#include "disabled_box/disabled_box.h"
#include "platform/file_io.h"
#include "platform/handles_win.h"
#include "platform/message_pump_win.h"
#include "platform/wide_win.h"
#include "startup/folder_files_win.h"
#include "startup/task_definition.h"

namespace orvela {
namespace {

SystemError ErrorOf(HRESULT hr) {
  if (SUCCEEDED(hr)) return kErrorNone;
  if (HRESULT_FACILITY(hr) == FACILITY_WIN32) return static_cast<SystemError>(HRESULT_CODE(hr));
  return static_cast<SystemError>(hr);
}

// A BSTR owned for one call.
class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(std::string_view text) {
    const std::wstring wide = Wide(text);
    value_ = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  ~Bstr() { SysFreeString(value_); }
  BSTR get() const { return value_; }
  BSTR* put() {
    SysFreeString(std::exchange(value_, nullptr));
    return &value_;
  }
  std::string text() const { return value_ ? Narrow(std::wstring_view(value_, SysStringLen(value_))) : std::string(); }

 private:
  BSTR value_ = nullptr;
};

VARIANT IndexVariant(LONG index) {
  VARIANT variant;
  VariantInit(&variant);
  variant.vt = VT_I4;
  variant.lVal = index;
  return variant;
}

// Runs `work` with a connected scheduler on a thread of its own while the window answers;
// the connection's failure when there is none.
SystemError WithScheduler(const std::function<HRESULT(ITaskService&)>& work) {
  HRESULT hr = E_FAIL;
  RunWhileAnswering([&] {
    ComScope com;
    ComPtr<ITaskService> service;
    hr = CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, __uuidof(ITaskService),
                          service.put_void());
    VARIANT none;
    VariantInit(&none);
    if (SUCCEEDED(hr)) hr = service->Connect(none, none, none, none);
    if (SUCCEEDED(hr)) hr = work(*service.get());
  });
  return ErrorOf(hr);
}

HRESULT OpenTask(ITaskService& service, const std::string& path, ComPtr<IRegisteredTask>& task) {
  const auto [folder_path, name] = TaskFolderAndName(path);
  ComPtr<ITaskFolder> folder;
  HRESULT hr = service.GetFolder(Bstr(folder_path).get(), folder.put());
  if (SUCCEEDED(hr)) hr = folder->GetTask(Bstr(name).get(), task.put());
  return hr;
}

// The definition as the scheduler gives it; where that text has no program to start (a
// scheduler may give back only what it understood), the task's own file, when it reads as
// a task definition.
std::string DefinitionOf(IRegisteredTask& task, const std::string& path) {
  Bstr xml;
  task.get_Xml(xml.put());
  std::string text = xml.text();
  const std::optional<TaskDefinition> given = ReadTaskDefinition(text);
  if (given && !given->command.empty()) return text;
  if (const std::optional<std::string> bytes = ReadWholeFile(TaskFilePath(path)))
    if (std::optional<std::string> file_text = TaskFileText(*bytes))
      if (ReadTaskDefinition(*file_text)) return std::move(*file_text);
  return text;
}

std::optional<ScheduledTask> TaskOf(IRegisteredTask& task) {
  Bstr path;
  if (FAILED(task.get_Path(path.put()))) return std::nullopt;
  ScheduledTask read;
  read.path = path.text();
  VARIANT_BOOL enabled = VARIANT_TRUE;
  task.get_Enabled(&enabled);
  read.enabled = enabled != VARIANT_FALSE;
  read.xml = DefinitionOf(task, read.path);
  return read;
}

void ListFolder(ITaskFolder& folder, std::vector<ScheduledTask>& tasks) {
  ComPtr<IRegisteredTaskCollection> collection;
  LONG count = 0;
  HRESULT hr = folder.GetTasks(TASK_ENUM_HIDDEN, collection.put());
  if (SUCCEEDED(hr)) hr = collection->get_Count(&count);
  if (SUCCEEDED(hr)) {
    for (LONG i = 1; i <= count; ++i) {
      ComPtr<IRegisteredTask> task;
      if (SUCCEEDED(collection->get_Item(IndexVariant(i), task.put())))
        if (std::optional<ScheduledTask> read = TaskOf(*task.get())) tasks.push_back(std::move(*read));
    }
  } else {
    // When the scheduler cannot list a folder's tasks, the folder's task files name them
    // and each is opened by its name: a failed listing must not read as "no tasks".
    Bstr folder_path;
    folder.get_Path(folder_path.put());
    std::vector<FolderItem> files;
    ListFolderFiles(TaskFilePath(folder_path.text()), 0, "", files);
    for (const FolderItem& file : files) {
      ComPtr<IRegisteredTask> task;
      if (SUCCEEDED(folder.GetTask(Bstr(FileNamePart(file.path)).get(), task.put())))
        if (std::optional<ScheduledTask> read = TaskOf(*task.get())) tasks.push_back(std::move(*read));
    }
  }
  ComPtr<ITaskFolderCollection> subfolders;
  LONG subfolder_count = 0;
  if (FAILED(folder.GetFolders(0, subfolders.put())) || FAILED(subfolders->get_Count(&subfolder_count))) return;
  for (LONG i = 1; i <= subfolder_count; ++i) {
    ComPtr<ITaskFolder> subfolder;
    if (SUCCEEDED(subfolders->get_Item(IndexVariant(i), subfolder.put()))) ListFolder(*subfolder.get(), tasks);
  }
}

}  // namespace

std::string TaskFilePath(const std::string& path) {
  wchar_t system[MAX_PATH];
  const UINT length = GetSystemDirectoryW(system, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  const std::string folder = Narrow(std::wstring_view(system, length)) + "\\Tasks";
  return path == "\\" ? folder : folder + path;
}

std::optional<std::vector<ScheduledTask>> Win32TaskScheduler::ListTasks() {
  std::vector<ScheduledTask> tasks;
  const SystemError status = WithScheduler([&](ITaskService& service) {
    ComPtr<ITaskFolder> root;
    const HRESULT hr = service.GetFolder(Bstr("\\").get(), root.put());
    if (SUCCEEDED(hr)) ListFolder(*root.get(), tasks);
    return hr;
  });
  if (status != kErrorNone) return std::nullopt;
  return tasks;
}

std::optional<ScheduledTask> Win32TaskScheduler::ReadTask(const std::string& path, SystemError* status) {
  std::optional<ScheduledTask> read;
  const SystemError error = WithScheduler([&](ITaskService& service) {
    ComPtr<IRegisteredTask> task;
    const HRESULT hr = OpenTask(service, path, task);
    if (SUCCEEDED(hr)) read = TaskOf(*task.get());
    return hr;
  });
  if (status) *status = error == kErrorPathNotFound ? kErrorFileNotFound : error;
  return read;
}

SystemError Win32TaskScheduler::SetEnabled(const std::string& path, bool enabled) {
  return WithScheduler([&](ITaskService& service) {
    ComPtr<IRegisteredTask> task;
    HRESULT hr = OpenTask(service, path, task);
    if (SUCCEEDED(hr)) hr = task->put_Enabled(enabled ? VARIANT_TRUE : VARIANT_FALSE);
    return hr;
  });
}

SystemError Win32TaskScheduler::Register(const std::string& path, const std::string& xml) {
  return WithScheduler([&](ITaskService& service) {
    ComPtr<ITaskFolder> root;
    HRESULT hr = service.GetFolder(Bstr("\\").get(), root.put());
    if (FAILED(hr)) return hr;
    VARIANT none;
    VariantInit(&none);
    ComPtr<IRegisteredTask> registered;
    // TASK_CREATE: a task that appeared at that path meanwhile is never replaced. The
    // definition's own principal says how it logs on.
    return root->RegisterTask(Bstr(path).get(), Bstr(xml).get(), TASK_CREATE, none, none, TASK_LOGON_NONE, none,
                              registered.put());
  });
}

SystemError Win32TaskScheduler::Delete(const std::string& path) {
  return WithScheduler([&](ITaskService& service) {
    const auto [folder_path, name] = TaskFolderAndName(path);
    ComPtr<ITaskFolder> folder;
    HRESULT hr = service.GetFolder(Bstr(folder_path).get(), folder.put());
    if (SUCCEEDED(hr)) hr = folder->DeleteTask(Bstr(name).get(), 0);
    return hr;
  });
}

}  // namespace orvela
