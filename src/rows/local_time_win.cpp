#include "rows/local_time_win.h"

#include <windows.h>

#include <cstdio>

namespace orvela {

std::string LocalTimeText(std::int64_t time) {
  if (time == 0) return {};
  FILETIME utc{static_cast<DWORD>(time), static_cast<DWORD>(static_cast<std::uint64_t>(time) >> 32)};
  SYSTEMTIME universal{}, local{};
  // The zone's rule for that date, not today's offset: an entry of the winter keeps its hour.
  if (!FileTimeToSystemTime(&utc, &universal) || !SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local))
    return {};
  char text[32];
  std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d", local.wYear, local.wMonth, local.wDay,
                local.wHour, local.wMinute);
  return text;
}

}  // namespace orvela
