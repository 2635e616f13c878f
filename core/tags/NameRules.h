#pragma once

#include <string>

namespace songlark {

// The two download clients name their files "<x>-<y>-<artist> - <title>.<ext>"
// (LimeWire, exactly three dashes) and "<artist> - <title>.<ext>" (Kazaa,
// exactly one dash). Both return 1 when artist and title were cut out of the
// name, 0 otherwise. The out strings are not cleared on entry, and the artist
// is assigned before the title is looked for, so on 0 it may already be set.
int ParseLimeWireName(std::string name, std::string& artist, std::string& title);
int ParseKazaaName(std::string name, std::string& artist, std::string& title);

}  // namespace songlark
