#include "base/path.h"

namespace quillon {

const char kPathSeparator = '\\';

} // namespace quillon
