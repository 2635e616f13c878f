#include "core/Version.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

// The about box text is in a resource script; it must show the same version
// as the one the code and the version resource use.
TEST(Version, AboutBoxShowsTheBuildVersion)
{
    std::ifstream in(std::string(SONGLARK_SOURCE_DIR) + "/res/AboutDlg.rc");
    ASSERT_TRUE(in.good());
    std::stringstream ss;
    ss << in.rdbuf();
    EXPECT_NE(ss.str().find("\"Peerpal Version " SONGLARK_VERSION_TEXT "\""), std::string::npos);
}
