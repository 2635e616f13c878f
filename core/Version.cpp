#include "core/Version.h"

namespace songlark {
const char* VersionText() { return SONGLARK_VERSION_TEXT; }
}  // namespace songlark
