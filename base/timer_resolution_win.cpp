#include "base/timer_resolution.h"

#include <windows.h>

#include <mmsystem.h>

namespace quillon {

TimerPeriodCalls systemTimerPeriodCalls() {
    TimerPeriodCalls calls;
    calls.begin = [](uint32_t periodMs) { return timeBeginPeriod(periodMs) == TIMERR_NOERROR; };
    calls.end = [](uint32_t periodMs) { timeEndPeriod(periodMs); };
    return calls;
}

} // namespace quillon
