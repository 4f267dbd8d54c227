#include <windows.h>

#include "base/local_time.h"

namespace quillon {

LocalTime localTimeNow() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    LocalTime t;
    t.year = now.wYear;
    t.month = now.wMonth;
    t.weekday = now.wDayOfWeek;
    t.day = now.wDay;
    t.hour = now.wHour;
    t.minute = now.wMinute;
    t.second = now.wSecond;
    return t;
}

} // namespace quillon
