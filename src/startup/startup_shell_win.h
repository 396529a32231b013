// The startup page on the real shell: its changes go through the pages' shell port.
#pragma once
#include <windows.h>
#include <shlobj.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "system/shell_port_win.h"
#include "components/shell_link_win.h"
#include "platform/handles_win.h"
#include "disabled_box/entry.h"
#include "startup/startup_actions.h"
#include "system/program_lookup.h"

namespace orvela {

using Win32StartupShell = Win32ShellPort;

// What a Disabled Box view row shows besides its record: fills the version texts of the
// record and gives its large icon (empty when the shell has none). A folder record in
// item-id form takes both from the shell item its list names.
UniqueHicon PrepareDisabledBoxRow(EntryRecord& record, const ProgramLookup& system);

}  // namespace orvela
