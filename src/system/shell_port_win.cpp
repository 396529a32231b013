#include "system/shell_port_win.h"

#include <cstring>

#include "components/item_id_list.h"
#include "platform/file_io.h"
#include "platform/folders_win.h"
#include "platform/wide_win.h"

namespace orvela {
namespace {

std::string ParentFolder(const std::string& path) {
  const size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace

std::string Win32ShellPort::ResolveLink(const std::string& link) {
  std::string target;
  link_.GetLinkToPath(link, target, nullptr);
  return target;
}

std::optional<std::vector<std::uint8_t>> Win32ShellPort::LinkTargetItemIdList(const std::string& link) {
  const UniqueItemIdList list = link_.GetLinkToItemId(link, nullptr);
  return ItemIdListBytes(list.get());
}

std::optional<LinkFields> Win32ShellPort::ReadLinkFields(const std::string& link) {
  LinkFields fields;
  if (!link_.GetLinkFields(link, fields.path, fields.arguments)) return std::nullopt;
  return fields;
}

std::string Win32ShellPort::CreateShortcut(const ShortcutTarget& target, const std::string& folder,
                                           const std::string& name) {
  UniqueItemIdList item;
  if (target.path.empty()) {
    item = ItemIdListFromBytes(target.item_id_list);
    if (!item) return "";
  }
  if (!CreateFolderTree(folder)) return "";
  return link_.CreateLink2(target.path, item.get(), folder, name, false);
}

std::string Win32ShellPort::StartupFolder(bool all_users) {
  return ShellFolderPath(all_users ? CSIDL_COMMON_STARTUP : CSIDL_STARTUP);
}

bool Win32ShellPort::FileExists(const std::string& path) { return orvela::FileExists(path); }

bool Win32ShellPort::RemoveFile(const std::string& path) {
  // A look-up may be reading the file at this moment (the row's icon or version texts).
  return !orvela::FileExists(path) || DeleteFileWhenFree(path);
}

bool Win32ShellPort::CopyFileTo(const std::string& from, const std::string& to) {
  if (!CreateFolderTree(ParentFolder(to))) return false;
  return CopyFileW(Wide(from).c_str(), Wide(to).c_str(), TRUE) != 0;
}

std::optional<std::string> Win32ShellPort::ReadFileBytes(const std::string& path) {
  return ReadWholeFile(path);
}

bool Win32ShellPort::WriteFileBytes(const std::string& path, std::string_view bytes, bool replace) {
  if (!CreateFolderTree(ParentFolder(path))) return false;
  return replace ? WriteWholeFileReplacing(path, bytes) : WriteNewFile(path, bytes);
}

std::optional<FileMetadata> Win32ShellPort::FileMetadataOf(const std::string& path) { return ReadFileMetadata(path); }

bool Win32ShellPort::SetFileMetadata(const std::string& path, const FileMetadata& metadata) {
  return ApplyFileMetadata(path, metadata);
}

std::optional<ShortcutTarget> Win32ShellPort::ShortcutTargetOf(std::string_view bytes) {
  ShortcutTarget target;
  UniqueItemIdList item;
  if (!link_.GetBytesTarget(bytes, target.path, item)) return std::nullopt;
  if (item) target.item_id_list = ItemIdListBytes(item.get()).value_or(std::vector<std::uint8_t>{});
  return target;
}

std::optional<std::vector<std::uint8_t>> ItemIdListBytes(LPCITEMIDLIST list) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(list);
  const std::optional<std::size_t> size = ItemIdListSize(bytes, kShellOwnedList);
  if (!size) return std::nullopt;
  return std::vector<std::uint8_t>(bytes, bytes + *size + 2);
}

UniqueItemIdList ItemIdListFromBytes(const std::vector<std::uint8_t>& bytes) {
  const std::optional<std::size_t> size = ItemIdListSize(bytes.data(), bytes.size());
  if (!size) return UniqueItemIdList();
  auto* memory = static_cast<std::uint8_t*>(CoTaskMemAlloc(*size + 2));
  if (!memory) return UniqueItemIdList();
  std::memcpy(memory, bytes.data(), *size);
  memory[*size] = memory[*size + 1] = 0;
  return UniqueItemIdList(reinterpret_cast<LPITEMIDLIST>(memory));
}

UniqueItemIdList PathToItemIdList(const std::string& text) {
  UniqueItemIdList list;
  if (text.empty()) return list;
  ComPtr<IShellFolder> desktop;
  if (FAILED(SHGetDesktopFolder(desktop.put()))) return list;
  std::wstring name = Wide(text);
  if (FAILED(desktop->ParseDisplayName(nullptr, nullptr, name.data(), nullptr, list.put(), nullptr)))
    list.reset();
  return list;
}

UniqueHicon ItemIdFormIcon(const std::string& hex) {
  const auto bytes = HexToItemIdList(hex);
  const UniqueItemIdList list = bytes ? ItemIdListFromBytes(*bytes) : UniqueItemIdList();
  if (!list) return UniqueHicon();
  SHFILEINFOW info{};  // Wine leaves an earlier icon in the struct on failure
  SHGetFileInfoW(reinterpret_cast<LPCWSTR>(list.get()), 0, &info, sizeof info,
                 SHGFI_PIDL | SHGFI_ICON | SHGFI_LARGEICON);
  return UniqueHicon(info.hIcon);
}

}  // namespace orvela
