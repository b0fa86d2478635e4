#include "app/startup.h"
#include "desktop/win32.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return vantrel::RunProgram(); }
