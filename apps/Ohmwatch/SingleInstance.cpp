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

unsigned int ExitRequestMessage()
{
    static const UINT message = RegisterWindowMessageW(OHMWATCH_EXIT_MESSAGE);
    return message;
}
