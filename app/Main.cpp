#include "app/SonglarkApp.h"

// The one application object, constructed before WinMain runs.
CSonglarkApp theApp;

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nCmdShow)
{
    return AfxWinMain(hInstance, nCmdShow);
}
