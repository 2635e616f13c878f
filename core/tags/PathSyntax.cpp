#include "core/tags/PathSyntax.h"

namespace songlark {

std::size_t FindLastSeparator(const std::string& path, const PathSyntax& syntax)
{
    if (!syntax.isLeadByte) return path.rfind(syntax.separator);
    // A double-byte text can only be read from its start: whether a byte is
    // a character or the second half of one depends on the bytes before it.
    std::size_t last = std::string::npos;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (syntax.isLeadByte(static_cast<unsigned char>(path[i]))) {
            ++i;
        } else if (path[i] == syntax.separator) {
            last = i;
        }
    }
    return last;
}

}  // namespace songlark
