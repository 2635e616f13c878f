#include "lyrics/net/SiteText.h"

#include "platform/TextCodec.h"

namespace {
const unsigned kSiteCodePage = 1252;
}  // namespace

std::string SiteTextFromAnsi(const std::string& ansi)
{
    return songlark::ConvertCodePage(ansi, songlark::ProcessCodePage(), kSiteCodePage);
}

std::string AnsiFromSiteText(const std::string& site)
{
    return songlark::ConvertCodePage(site, kSiteCodePage, songlark::ProcessCodePage());
}
