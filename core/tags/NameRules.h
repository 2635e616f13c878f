#pragma once

#include <string>

namespace songlark {

// The two download clients name their files "<x>-<y>-<artist> - <title>.<ext>"
// (LimeWire, exactly three dashes) and "<artist> - <title>.<ext>" (Kazaa,
// exactly one dash). The title ends at the name's last '.'. A LimeWire name
// with more dashes fits when it starts "T-<digits>-": the artist is what
// follows up to the first " - ". Both return 1 when artist and title were cut
// out of the name, 0 otherwise. A cut whose artist or title says nothing
// (empty, digits only, "Track 4", "untitled", "Unknown", "Unknown Artist", in
// any case, or holding a '?' that stands for a lost character) does not fit
// and leaves both strings as they were. Otherwise the out strings are not
// cleared on entry, and the artist is assigned before the title is looked
// for, so on 0 it may already be set.
int ParseLimeWireName(std::string name, std::string& artist, std::string& title);
int ParseKazaaName(std::string name, std::string& artist, std::string& title);

}  // namespace songlark
