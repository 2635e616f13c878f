#include "platform/SystemPath.h"

namespace songlark {

PathSyntax SystemPathSyntax()
{
    return PathSyntax{'/', nullptr};
}

}  // namespace songlark
