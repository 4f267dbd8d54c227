#include "base/timer_resolution.h"

namespace quillon {

FineTimerResolution::FineTimerResolution(TimerPeriodCalls calls, uint32_t periodMs)
    : calls_(std::move(calls)), periodMs_(periodMs) {
    granted_ = calls_.begin && calls_.begin(periodMs_);
}

FineTimerResolution::~FineTimerResolution() {
    if (granted_ && calls_.end) {
        calls_.end(periodMs_);
    }
}

} // namespace quillon
