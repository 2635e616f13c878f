#pragma once

// The classic lyrics site writes its pages in code page 1252 (its titles
// carry the apostrophe as 0x92). A process in another code page (UTF-8 under
// the manifest) asks in the site's bytes and stores the lyric in its own.
#include <string>

// The process's ANSI text in the site's code page; false when characters the
// site's code page lacks were lost (no page of the site can name them).
bool SiteTextFromAnsi(const std::string& ansi, std::string* site);
// The site's text in the process's code page.
std::string AnsiFromSiteText(const std::string& site);
