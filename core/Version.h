#pragma once

// One place for the version the about box, the resources and the tools show.
#define SONGLARK_VERSION_TEXT "2.25"
#define SONGLARK_VERSION_RC 2, 25, 0, 0
