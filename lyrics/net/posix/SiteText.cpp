#include "lyrics/net/SiteText.h"

// Native builds run the tests and tools in the site's own bytes.
bool SiteTextFromAnsi(const std::string& ansi, std::string* site)
{
    *site = ansi;
    return true;
}

std::string AnsiFromSiteText(const std::string& site)
{
    return site;
}
