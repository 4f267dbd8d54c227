// Location codes the control program's memory transfers give the link, one
// per kind of transfer; a failed transfer carries its code in the link's
// error. (The pages' own messages name their call sites separately.)
#pragma once

namespace quillon::control::memory_location {

constexpr int kReadRecordedHeader = 36001, kReadRecordedBody = 36002, kWriteRecordedHeader = 36003,
              kWriteRecordedBody = 36004, kReadEditHeader = 36005, kReadEditBody = 36006, kStoreEdit = 36007,
              kReadCombinationHeader = 36008, kReadCombinationBody = 36009, kStoreCombination = 36010,
              kReadAutoClick = 36011, kWriteAutoClick = 36012, kWriteEditHeader = 36013;

} // namespace quillon::control::memory_location
