// What a row of the startup list or of its Disabled Box view shows besides its record's own
// fields: its icon, its version texts and (live list) whether its program is missing. The
// row follows the program its command names (ResolveTarget: a shortcut leads to its target,
// a bare name is looked for in the system folder). The icon is the program's, or the
// target's when the program has none; a shortcut without an icon of its own shows its
// target's, which is asked of the target directly so that the shortcut is read only once.
#pragma once
#include "disabled_box/entry.h"
#include "rows/row_details_win.h"
#include "system/program_lookup.h"

namespace orvela {

// Fills the row from the run's detail store; `picture` becomes its picture (0 none). Without
// fetch nothing costly happens (files are only looked at for their time and size): false
// then means the row still waits for something, and the record and picture are left as they
// were. With fetch whatever the store lacks is read now. Runs on the worker.
bool FillStartupRowDetails(EntryRecord& record, PictureKey& picture, bool live, bool fetch,
                           RowDetailStore& store, const ProgramLookup& system);

}  // namespace orvela
