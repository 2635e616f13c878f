#include "lyrics/net/SiteText.h"

// Native builds run the tests and tools in the site's own bytes.
std::string SiteTextFromAnsi(const std::string& ansi)
{
    return ansi;
}

std::string AnsiFromSiteText(const std::string& site)
{
    return site;
}
