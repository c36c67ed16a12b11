#include "SingleInstance.h"

#include "ProductInfo.h"

#include <windows.h>

bool ClaimSingleInstance()
{
    const HANDLE mutex = CreateMutexW(nullptr, TRUE, OHMWATCH_INSTANCE_MUTEX);
    if (mutex != nullptr && GetLastError() == ERROR_ALREADY_EXISTS)
    {
        CloseHandle(mutex);
        return false;
    }
    return true;
}

void ReportStartDuringUpdate()
{
    // The event exists only while an installer updates the program.
    const HANDLE wanted = OpenEventW(EVENT_MODIFY_STATE, FALSE, OHMWATCH_START_WANTED);
    if (wanted == nullptr)
        return;
    SetEvent(wanted);
    CloseHandle(wanted);
}
