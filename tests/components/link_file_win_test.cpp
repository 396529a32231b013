// Shortcuts written by the shell link object, read by it and by ReadLinkFile: where the
// reader answers, it gives what the recent pages read today (the raw path, unexpanded).
#include <doctest.h>

#include <windows.h>
#include <shlobj.h>

#include <filesystem>

#include "components/link_file.h"
#include "platform/file_io.h"
#include "platform/handles_win.h"
#include "platform/wide_win.h"

using namespace orvela;

namespace {

struct LinkCase {
  const char* name;
  std::string path;  // "" for a shell item
  int csidl;
  const char *relative, *arguments, *working_folder, *icon_location;
  bool handled;
};

void Save(const LinkCase& c, const std::wstring& file) {
  ComPtr<IShellLinkW> link;
  REQUIRE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void())));
  UniqueItemIdList item;
  if (c.path.empty() && c.csidl >= 0) REQUIRE(SUCCEEDED(SHGetSpecialFolderLocation(nullptr, c.csidl, item.put())));
  if (item) link->SetIDList(item.get());
  if (!c.path.empty()) link->SetPath(Wide(c.path).c_str());
  if (c.relative) link->SetRelativePath(Wide(c.relative).c_str(), 0);
  if (c.arguments) link->SetArguments(Wide(c.arguments).c_str());
  if (c.working_folder) link->SetWorkingDirectory(Wide(c.working_folder).c_str());
  if (c.icon_location) link->SetIconLocation(Wide(c.icon_location).c_str(), 1);
  REQUIRE(SUCCEEDED(link.query<IPersistFile>()->Save(file.c_str(), TRUE)));
}

// What the shell link object reads of the file, "" for what it has not.
LinkFile AskShell(const std::wstring& file) {
  ComPtr<IShellLinkW> link;
  REQUIRE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void())));
  REQUIRE(SUCCEEDED(link.query<IPersistFile>()->Load(file.c_str(), STGM_READ)));
  std::wstring text(32768, L'\0');
  auto field = [&](HRESULT hr) { return SUCCEEDED(hr) ? Narrow(text.c_str()) : std::string(); };
  LinkFile answer;
  int icon = 0;
  answer.target = field(link->GetPath(text.data(), 32768, nullptr, SLGP_RAWPATH));
  answer.arguments = field(link->GetArguments(text.data(), 32768));
  answer.working_folder = field(link->GetWorkingDirectory(text.data(), 32768));
  answer.icon_location = field(link->GetIconLocation(text.data(), 32768, &icon));
  return answer;
}

}  // namespace

TEST_CASE("the reader agrees with the shell link object on the shortcuts it wrote") {
  ComScope com;
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::filesystem::path folder = std::filesystem::path(temp) / L"link-file-corpus";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder / L"dir");
  const std::string base = Narrow(folder.wstring()) + "\\";
  for (const char* name : {"target.txt", "表計算.txt", "한글.txt"}) WriteNewFile(base + name, "x");

  const LinkCase cases[] = {
      {"file", base + "target.txt", -1, nullptr, nullptr, nullptr, nullptr, true},
      {"folder", base + "dir", -1, nullptr, nullptr, nullptr, nullptr, true},
      {"gone", base + "gone.txt", -1, nullptr, nullptr, nullptr, nullptr, true},
      {"share", "\\\\server\\share\\dir\\file.txt", -1, nullptr, nullptr, nullptr, nullptr, true},
      {"code page name", base + "表計算.txt", -1, nullptr, nullptr, nullptr, nullptr, true},
      // The prefix's shell keeps only an ANSI path, with "?" for what the code page lacks.
      {"name outside the code page", base + "한글.txt", -1, nullptr, nullptr, nullptr, nullptr, false},
      {"environment", "%SystemRoot%\\notepad.exe", -1, nullptr, nullptr, nullptr, nullptr, true},
      {"fields", base + "target.txt", -1, nullptr, "/a \"b c\"", "%TEMP%", "%SystemRoot%\\notepad.exe", true},
      {"relative only", "", -1, ".\\target.txt", nullptr, nullptr, nullptr, false},
      {"computer", "", CSIDL_DRIVES, nullptr, nullptr, nullptr, nullptr, false},
      {"control panel", "", CSIDL_CONTROLS, nullptr, nullptr, nullptr, nullptr, false},
  };
  for (const LinkCase& c : cases) {
    INFO(std::string(c.name));
    const std::wstring file = folder / (Wide(c.name) + L".lnk");
    Save(c, file);
    const LinkFile shell = AskShell(file);
    const std::optional<std::string> bytes = ReadWholeFile(Narrow(file));
    REQUIRE(bytes);
    const std::optional<LinkFile> read = ReadLinkFile(*bytes);
    CHECK(read.has_value() == c.handled);
    if (!read) continue;
    CHECK(read->target == shell.target);
    CHECK(read->arguments == shell.arguments);
    CHECK(read->working_folder == shell.working_folder);
    CHECK(read->icon_location == shell.icon_location);
  }
  std::filesystem::remove_all(folder);
}
