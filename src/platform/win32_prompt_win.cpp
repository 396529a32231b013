#include "platform/win32_prompt_win.h"

#include <commdlg.h>
#include <shlobj.h>

#include <algorithm>
#include <vector>

#include "../../resources/resource_ids.h"
#include "platform/guarded_call_win.h"
#include "platform/handles_win.h"
#include "platform/kept_focus_win.h"
#include "platform/wide_win.h"

namespace orvela {
namespace {

UINT IconFlags(PromptIcon icon) {
  switch (icon) {
    case PromptIcon::kInformation: return MB_ICONINFORMATION;
    case PromptIcon::kWarning: return MB_ICONWARNING;
    case PromptIcon::kError: return MB_ICONERROR;
    case PromptIcon::kQuestion: return MB_ICONQUESTION;
    case PromptIcon::kNone: break;
  }
  return 0;
}

struct InputBoxState {
  std::wstring caption, label, text;
};

INT_PTR InputBoxMessage(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowLongPtrW(dialog, DWLP_USER, lparam);
      auto* state = reinterpret_cast<InputBoxState*>(lparam);
      SetWindowTextW(dialog, state->caption.c_str());
      SetDlgItemTextW(dialog, IDC_INPUT_LABEL, state->label.c_str());
      SetDlgItemTextW(dialog, IDC_INPUT_EDIT, state->text.c_str());
      SendDlgItemMessageW(dialog, IDC_INPUT_EDIT, EM_SETSEL, 0, -1);
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wparam) == IDOK) {
        auto* state = reinterpret_cast<InputBoxState*>(GetWindowLongPtrW(dialog, DWLP_USER));
        HWND edit = GetDlgItem(dialog, IDC_INPUT_EDIT);
        std::wstring text(static_cast<size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
        text.resize(static_cast<size_t>(GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
        state->text = std::move(text);
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wparam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      break;
  }
  return FALSE;
}

INT_PTR CALLBACK InputBoxProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  return GuardedCall(dialog, [&] { return InputBoxMessage(dialog, message, wparam, lparam); }).value_or(FALSE);
}

int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM, LPARAM data) {
  GuardedCall(window, [&] {
    if (message == BFFM_INITIALIZED && data) SendMessageW(window, BFFM_SETSELECTIONW, TRUE, data);
  });
  return 0;
}

}  // namespace

UINT CentreLaterMessage() {
  static const UINT message = RegisterWindowMessageW(L"Orvela.CentreLater");
  return message;
}

namespace {
struct BrowseData {
  HWND owner;
  std::wstring initial_folder;
};
}  // namespace

int CALLBACK BrowseNotify(HWND window, UINT message, LPARAM parameter, LPARAM data) {
  const auto* browse = reinterpret_cast<const BrowseData*>(data);
  GuardedCall(window, [&] {
    if (message == BFFM_INITIALIZED && browse) {
      if (!browse->initial_folder.empty())
        SendMessageW(window, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(browse->initial_folder.c_str()));
      if (browse->owner) PostMessageW(browse->owner, CentreLaterMessage(), reinterpret_cast<WPARAM>(window), 0);
    } else if (message == BFFM_SELCHANGED) {
      SHFILEINFOW info{};
      info.dwAttributes = SFGAO_FILESYSTEM;
      const bool file_system =
          parameter && SHGetFileInfoW(reinterpret_cast<LPCWSTR>(parameter), 0, &info, sizeof info,
                                      SHGFI_PIDL | SHGFI_ATTRIBUTES | SHGFI_ATTR_SPECIFIED) &&
          (info.dwAttributes & SFGAO_FILESYSTEM);
      SendMessageW(window, BFFM_ENABLEOK, 0, file_system ? TRUE : FALSE);
    }
  });
  return 0;
}

std::string BrowseForItem(HWND owner, const std::string& title, const std::string& initial_folder) {
  const std::wstring wide_title = Wide(title);
  BrowseData data{owner, Wide(initial_folder)};
  BROWSEINFOW info{};
  info.hwndOwner = owner;
  info.lpszTitle = wide_title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | BIF_BROWSEINCLUDEFILES;
  info.lpfn = BrowseNotify;
  info.lParam = reinterpret_cast<LPARAM>(&data);
  UniqueItemIdList list(SHBrowseForFolderW(&info));
  if (!list) return "";
  std::vector<wchar_t> path(32768, L'\0');
  if (!SHGetPathFromIDListEx(list.get(), path.data(), static_cast<DWORD>(path.size()), 0)) return "";
  return Narrow(path.data());
}

std::optional<std::string> Win32Prompt::ChooseItem(std::string_view title, std::string_view initial_folder) {
  KeptFocus kept;
  const std::string path = BrowseForItem(Owner(), std::string(title), std::string(initial_folder));
  if (path.empty()) return std::nullopt;
  return path;
}

void Win32Prompt::ShowMessage(std::string_view text, std::string_view caption, PromptIcon icon) {
  KeptFocus kept;
  MessageBoxW(Owner(), Wide(text).c_str(), Wide(caption).c_str(), MB_OK | IconFlags(icon));
}

bool Win32Prompt::AskYesNo(std::string_view text, std::string_view caption, PromptIcon icon) {
  KeptFocus kept;
  return MessageBoxW(Owner(), Wide(text).c_str(), Wide(caption).c_str(),
                     MB_YESNO | IconFlags(icon)) == IDYES;
}

bool Win32Prompt::AskYesNoDefaultNo(std::string_view text, std::string_view caption, PromptIcon icon) {
  KeptFocus kept;
  return MessageBoxW(Owner(), Wide(text).c_str(), Wide(caption).c_str(),
                     MB_YESNO | MB_DEFBUTTON2 | IconFlags(icon)) == IDYES;
}

std::optional<std::string> Win32Prompt::AskText(std::string_view caption, std::string_view label,
                                                std::string_view initial) {
  KeptFocus kept;
  InputBoxState state{Wide(caption), Wide(label), Wide(initial)};
  const INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_INPUT_BOX),
                                         Owner(), InputBoxProc, reinterpret_cast<LPARAM>(&state));
  if (result != IDOK) return std::nullopt;
  return Narrow(state.text);
}

std::optional<std::string> Win32Prompt::ChooseFileToOpen(std::string_view title,
                                                         const FileFilter& filter,
                                                         std::string_view initial_folder) {
  KeptFocus kept;
  // The filter is pairs of NUL-terminated texts ending in an extra NUL.
  std::wstring filter_text = Wide(filter.description) + L'\0' + Wide(filter.patterns) + L'\0' +
                             L"全てのファイル(*.*)" + L'\0' + L"*.*" + L'\0' + L'\0';
  std::vector<wchar_t> file(32768, L'\0');
  const std::wstring wide_title = Wide(title), folder = Wide(initial_folder);
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = Owner();
  ofn.lpstrFilter = filter_text.c_str();
  ofn.nFilterIndex = filter.start_on_all_files ? 2 : 1;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrTitle = wide_title.empty() ? nullptr : wide_title.c_str();
  ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
              OFN_NODEREFERENCELINKS | OFN_EXPLORER;
  if (!GetOpenFileNameW(&ofn)) return std::nullopt;
  return Narrow(file.data());
}

std::optional<std::string> Win32Prompt::ChooseFileToSave(std::string_view title,
                                                         const FileFilter& filter,
                                                         std::string_view initial_name) {
  KeptFocus kept;
  std::wstring filter_text = Wide(filter.description) + L'\0' + Wide(filter.patterns) + L'\0' +
                             L"全てのファイル(*.*)" + L'\0' + L"*.*" + L'\0' + L'\0';
  std::vector<wchar_t> file(32768, L'\0');
  const std::wstring name = Wide(initial_name).substr(0, file.size() - 1);
  std::copy(name.begin(), name.end(), file.begin());
  const std::wstring wide_title = Wide(title);
  // The extension added to a name typed without one: the first pattern's ("*.csv" -> "csv").
  const size_t dot = filter.patterns.find('.');
  const std::wstring extension =
      dot == std::string::npos ? L"" : Wide(filter.patterns.substr(dot + 1, filter.patterns.find(';') - dot - 1));
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = Owner();
  ofn.lpstrFilter = filter_text.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrTitle = wide_title.empty() ? nullptr : wide_title.c_str();
  ofn.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
  ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
              OFN_EXPLORER;
  if (!GetSaveFileNameW(&ofn)) return std::nullopt;
  return Narrow(file.data());
}

std::optional<std::string> Win32Prompt::ChooseFolder(std::string_view title,
                                                     std::string_view initial_folder) {
  KeptFocus kept;
  const std::wstring wide_title = Wide(title), folder = Wide(initial_folder);
  BROWSEINFOW info{};
  info.hwndOwner = Owner();
  info.lpszTitle = wide_title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  info.lpfn = BrowseCallback;
  info.lParam = folder.empty() ? 0 : reinterpret_cast<LPARAM>(folder.c_str());
  UniqueItemIdList list(SHBrowseForFolderW(&info));
  if (!list) return std::nullopt;
  std::vector<wchar_t> path(32768, L'\0');
  if (!SHGetPathFromIDListEx(list.get(), path.data(), static_cast<DWORD>(path.size()), 0))
    return std::nullopt;
  return Narrow(path.data());
}

}  // namespace orvela
