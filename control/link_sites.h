// Where control-panel talks to the machine: one location code per call site,
// shown in "기계와 통신이 되지 않습니다(%d)" when the machine stops answering
// there, so that a report names the exact place.
#pragma once

#include <cstddef>

namespace quillon::control::link_site {

// Options page.
constexpr int kOptionsReload = 5001;
constexpr int kOptionsWrite = 5002;
constexpr int kHotkeysRead = 5003;
constexpr int kHotkeysReload = 5004;
constexpr int kHotkeysWrite = 5005;
constexpr int kHotkeysReset = 5006;
// Edit and combination pages: the memory headers for the pickers.
constexpr int kEditHeadersForLoad = 5101;
constexpr int kEditHeadersForStore = 5102;
constexpr int kCombinationHeadersForLoad = 5301;
constexpr int kCombinationHeadersForStore = 5302;
constexpr int kEditClear = 5103;
constexpr int kCombinationClear = 5303;
// Recorded page.
constexpr int kRecordedHeaders = 5201;
constexpr int kRecordedClear = 5202;
constexpr int kRecordedCopy = 5203;
constexpr int kRecordedToFile = 5204;
constexpr int kRecordedFromFile = 5205;
constexpr int kRecordedFileAgain = 5206;
// Scheduling dialog.
constexpr int kScheduleRecordedHeaders = 5401;
constexpr int kScheduleAutoClick = 5402;
constexpr int kScheduleCommand = 5403;
constexpr int kScheduleEditHeaders = 5404;
constexpr int kScheduleCombinationHeaders = 5405;
constexpr int kScheduleCancel = 5406;
// Auto-click page.
constexpr int kAutoClickFirstShowing = 5501;
// The pages' transfers (control/macro_pages.cpp).
constexpr int kEditStore = 36101;
constexpr int kCombinationStore = 36201;
constexpr int kAutoClickStore = 36301;
constexpr int kAutoClickLoad = 36302;
constexpr int kRecordedHeaderToFile = 36401;
constexpr int kRecordedBodyToFile = 36402;
constexpr int kRecordedHeaderFromFile = 36403;
constexpr int kRecordedBodyFromFile = 36404;

struct Site {
    int code;
    const char* what;
};
// Every call site above, for the check that no two share a code.
extern const Site kSites[];
extern const size_t kSiteCount;

} // namespace quillon::control::link_site
