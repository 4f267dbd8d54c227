#include "control/link_sites.h"

#include <iterator>

#include "control/memory_locations.h"

namespace quillon::control::link_site {

const Site kSites[] = {
    {kOptionsReload, "options: read again"},
    {kOptionsWrite, "options: write"},
    {kHotkeysRead, "hotkeys: first read"},
    {kHotkeysReload, "hotkeys: read again"},
    {kHotkeysWrite, "hotkeys: write"},
    {kHotkeysReset, "hotkeys: reset"},
    {kEditHeadersForLoad, "edit page: headers to load"},
    {kEditHeadersForStore, "edit page: headers to store"},
    {kCombinationHeadersForLoad, "combination page: headers to load"},
    {kCombinationHeadersForStore, "combination page: headers to store"},
    {kEditClear, "edit page: clear a memory"},
    {kCombinationClear, "combination page: clear a memory"},
    {kRecordedHeaders, "recorded page: headers"},
    {kRecordedClear, "recorded page: clear"},
    {kRecordedCopy, "recorded page: copy"},
    {kRecordedToFile, "recorded page: to a file"},
    {kRecordedFromFile, "recorded page: from a file"},
    {kRecordedFileAgain, "recorded page: the file again"},
    {kScheduleRecordedHeaders, "schedule: recorded headers"},
    {kScheduleAutoClick, "schedule: auto-click block"},
    {kScheduleCommand, "schedule: command"},
    {kScheduleEditHeaders, "schedule: edit headers"},
    {kScheduleCombinationHeaders, "schedule: combination headers"},
    {kScheduleCancel, "schedule: cancel"},
    {kAutoClickFirstShowing, "auto-click page: first showing"},
    {kEditStore, "edit store"},
    {kCombinationStore, "combination store"},
    {kAutoClickStore, "auto-click store"},
    {kAutoClickLoad, "auto-click load"},
    {kRecordedHeaderToFile, "recorded header to a file"},
    {kRecordedBodyToFile, "recorded body to a file"},
    {kRecordedHeaderFromFile, "recorded header from a file"},
    {kRecordedBodyFromFile, "recorded body from a file"},
    // The memory transfers name the kind of transfer.
    {memory_location::kReadRecordedHeader, "read a recorded header"},
    {memory_location::kReadRecordedBody, "read a recorded body"},
    {memory_location::kWriteRecordedHeader, "write a recorded header"},
    {memory_location::kWriteRecordedBody, "write a recorded body"},
    {memory_location::kReadEditHeader, "read an edit header"},
    {memory_location::kReadEditBody, "read an edit body"},
    {memory_location::kStoreEdit, "store an edit macro"},
    {memory_location::kReadCombinationHeader, "read a combination header"},
    {memory_location::kReadCombinationBody, "read a combination body"},
    {memory_location::kStoreCombination, "store a combination macro"},
    {memory_location::kReadAutoClick, "read the auto-click block"},
    {memory_location::kWriteAutoClick, "write the auto-click block"},
    {memory_location::kWriteEditHeader, "write an edit header"},
};
const size_t kSiteCount = std::size(kSites);

} // namespace quillon::control::link_site
