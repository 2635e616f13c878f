#pragma once

#include "framework/WinApp.h"

// The application: starts WinSock 1.1 and runs the main dialog modally.
class CSonglarkApp : public CWinApp {
public:
    CSonglarkApp() = default;
    BOOL InitInstance() override;
};
