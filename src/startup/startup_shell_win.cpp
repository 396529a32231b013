#include "startup/startup_shell_win.h"

#include "components/item_id_list.h"
#include "platform/shell_icon_win.h"
#include "platform/wide_win.h"
#include "system/command_line.h"
#include "startup/version_info_win.h"

namespace orvela {

UniqueHicon PrepareDisabledBoxRow(EntryRecord& record, const ProgramLookup& system) {
  if (record.Unrecognised) return UniqueHicon();
  if (record.ItemIdForm) {
    const auto bytes = HexToItemIdList(record.Command);
    const UniqueItemIdList list = bytes ? ItemIdListFromBytes(*bytes) : UniqueItemIdList();
    if (!list) return UniqueHicon();
    std::wstring path(MAX_PATH, L'\0');
    if (SHGetPathFromIDListW(list.get(), path.data()))
      ReadVersionInfo(Narrow(path.c_str()), record);
    return ItemIdFormIcon(record.Command);
  }
  const ResolvedTarget resolved =
      ResolveTarget(ProgramPathOf(ReplaceAll(record.Command, "\"", "")), system);
  UniqueHicon icon(ShellIconOf(resolved.program, false, false));
  if (!icon) icon.reset(ShellIconOf(resolved.target, false, false));
  if (!resolved.target.empty()) ReadVersionInfo(resolved.target, record);
  return icon;
}

}  // namespace orvela
