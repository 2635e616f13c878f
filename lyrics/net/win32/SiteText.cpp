#include "lyrics/net/SiteText.h"

#include "platform/TextCodec.h"

#include <algorithm>

namespace {
const unsigned kSiteCodePage = 1252;
}  // namespace

bool SiteTextFromAnsi(const std::string& ansi, std::string* site)
{
    *site = songlark::ConvertCodePage(ansi, songlark::ProcessCodePage(), kSiteCodePage);
    // Each character the site's code page lacks became a '?'.
    return std::count(site->begin(), site->end(), '?') == std::count(ansi.begin(), ansi.end(), '?');
}

std::string AnsiFromSiteText(const std::string& site)
{
    return songlark::ConvertCodePage(site, kSiteCodePage, songlark::ProcessCodePage());
}
