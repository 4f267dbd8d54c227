// The local date and time as the programs read it from the system (the
// runner's date conditions and clock, shot-taker's file names, the editor's
// default analyzer title).
#pragma once

namespace quillon {

struct LocalTime {
    int year = 0;
    int month = 0;   // 1..12
    int weekday = 0; // 0 = Sunday
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The system's local time now.
LocalTime localTimeNow();

} // namespace quillon
