// Lumoka2.exe: a viewer for live video-capture devices.
#include <windows.h>

#include "app/Lumoka2App.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    CLumoka2App app;
    return app.Run();
}
