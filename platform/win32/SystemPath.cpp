#include "platform/SystemPath.h"

#include "platform/CodePage.h"

#include <windows.h>

namespace songlark {
namespace {

bool IsAnsiLeadByte(unsigned char c)
{
    return ::IsDBCSLeadByte(c) != FALSE;
}

}  // namespace

PathSyntax SystemPathSyntax()
{
    return PathSyntax{'\\', IsAnsiLeadByte, Utf8ToAnsi, UserAnsiToAnsi};
}

}  // namespace songlark
