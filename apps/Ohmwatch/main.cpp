#include "Ohmwatch.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    return Orvu::Core::Run(new Ohmwatch(), true);
}
