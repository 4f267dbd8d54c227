// The matching rules followed literally, one candidate and one pixel at a
// time with the distance in double precision: the yardstick that the
// product's fast search is compared with (in the tests and the benchmarks).
#pragma once

#include "runner/matching.h"

namespace quillon::runner::reference {

int searchRange(const FrameView& frame, const RangeSearch& search, RangeResult& entry);
int readNumber(const FrameView& frame, const SearchArea& area, const NumberPackView& pack, int similarity,
               bool arithmetic, int64_t& value);
bool pixelsMatch(const uint8_t* a, const uint8_t* b, int similarity);

} // namespace quillon::runner::reference
