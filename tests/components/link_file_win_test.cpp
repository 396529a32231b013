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

TEST_CASE("the reader agrees with the shell link object on the shortcuts it wrote") {
  ComScope com;
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::filesystem::path folder = std::filesystem::path(temp) / L"link-file-corpus";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder / L"dir");
  const std::string base = Narrow(folder.wstring()) + "\\";
  for (const char* name : {"target.txt", "表計算.txt", "한글.txt"}) WriteNewFile(base + name, "x");

  const struct {
    std::string target;  // a path, ".\\" and a path relative to the shortcut, or "" for the shell item
    int csidl;
    bool handled;
  } cases[] = {
      {base + "target.txt", 0, true}, {base + "dir", 0, true}, {base + "gone.txt", 0, true},
      {"\\\\server\\share\\dir\\file.txt", 0, true}, {base + "表計算.txt", 0, true},
      {"%SystemRoot%\\notepad.exe", 0, true},
      // The prefix's shell keeps only an ANSI path, with "?" for what the code page lacks.
      {base + "한글.txt", 0, false},
      {".\\target.txt", 0, false}, {"", CSIDL_DRIVES, false}, {"", CSIDL_CONTROLS, false},
  };
  int number = 0;
  for (const auto& c : cases) {
    INFO(c.target, c.csidl);
    const std::wstring file = folder / (std::to_wstring(++number) + L".lnk");
    ComPtr<IShellLinkW> link, shell;
    for (ComPtr<IShellLinkW>* each : {&link, &shell})
      REQUIRE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, each->put_void())));
    UniqueItemIdList item;
    if (c.csidl) REQUIRE(SUCCEEDED(SHGetSpecialFolderLocation(nullptr, c.csidl, item.put())));
    if (item) link->SetIDList(item.get());
    if (c.target.rfind(".\\", 0) == 0) link->SetRelativePath(Wide(c.target).c_str(), 0);
    else if (!c.target.empty()) link->SetPath(Wide(c.target).c_str());
    link->SetArguments(L"/a \"b c\"");
    link->SetWorkingDirectory(L"%TEMP%");
    link->SetIconLocation(L"%SystemRoot%\\notepad.exe", 1);
    REQUIRE(SUCCEEDED(link.query<IPersistFile>()->Save(file.c_str(), TRUE)));
    REQUIRE(SUCCEEDED(shell.query<IPersistFile>()->Load(file.c_str(), STGM_READ)));

    const std::optional<std::string> bytes = ReadWholeFile(Narrow(file));
    REQUIRE(bytes);
    const std::optional<LinkFile> read = ReadLinkFile(*bytes);
    CHECK(read.has_value() == c.handled);
    if (!read) continue;
    std::wstring text(32768, L'\0');
    int icon = 0;
    auto field = [&](HRESULT hr) { return SUCCEEDED(hr) ? Narrow(text.c_str()) : std::string(); };
    CHECK(read->target == field(shell->GetPath(text.data(), 32768, nullptr, SLGP_RAWPATH)));
    CHECK(read->arguments == field(shell->GetArguments(text.data(), 32768)));
    CHECK(read->working_folder == field(shell->GetWorkingDirectory(text.data(), 32768)));
    CHECK(read->icon_location == field(shell->GetIconLocation(text.data(), 32768, &icon)));
  }
  std::filesystem::remove_all(folder);
}
