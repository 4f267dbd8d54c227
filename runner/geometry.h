// Points and rectangles in screen pixels: the runner uses the capture's own.
#pragma once

#include "capture/geometry.h"

namespace quillon::runner {

using quillon::Point;
using quillon::Rect;
using quillon::Size;

} // namespace quillon::runner
