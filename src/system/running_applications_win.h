// The running applications of the desktop, as the running-application list shows them.
#pragma once
#include <vector>

#include "system/running_applications.h"

namespace orvela {

// One row per process of the process snapshot that has a main window (MainWindowOf), in
// the snapshot's order. Processes that cannot be asked for their program path are left out.
std::vector<RunningApplication> CollectRunningApplications();

}  // namespace orvela
