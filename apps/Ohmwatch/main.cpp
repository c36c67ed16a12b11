#include "ExitRequestWindow.h"
#include "Ohmwatch.h"
#include "SingleInstance.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    // A second start in the same session (the start-up shortcut and a double
    // click, say) leaves the running monitor alone and adds no second icon.
    if (!ClaimSingleInstance())
    {
        ReportStartDuringUpdate();
        return 0;
    }
    const ExitRequestWindow exitRequests(instance);
    return Orvu::Core::Run(new Ohmwatch(), true);
}
