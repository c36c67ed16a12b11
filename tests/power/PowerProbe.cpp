// Polls the power listener every 10 ms and prints each new status as
// "<source> <percent> <state>" (numbers). Ends with code 0 once it has seen
// the status given on the command line, or with 1 after the timeout.
//   power_probe.exe <source> <percent> <state> <timeout-ms>

#include "PowerListener.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 5)
    {
        std::fprintf(stderr, "usage: power_probe <source> <percent> <state> <timeout-ms>\n");
        return 2;
    }
    const int wantSource = std::atoi(argv[1]);
    const int wantPercent = std::atoi(argv[2]);
    const int wantState = std::atoi(argv[3]);
    const DWORD timeout = static_cast<DWORD>(std::atoi(argv[4]));

    PowerListener listener;
    PowerStatus last;
    bool first = true;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeout)
    {
        listener.Poll();
        const PowerStatus& s = listener.m_status;
        if (first || s != last)
        {
            std::printf("%d %d %d\n", static_cast<int>(s.source), s.percent,
                        static_cast<int>(s.batteryState));
            std::fflush(stdout);
            first = false;
            last = s;
        }
        if (static_cast<int>(s.source) == wantSource && s.percent == wantPercent &&
            static_cast<int>(s.batteryState) == wantState)
            return 0;
        Sleep(10);
    }
    return 1;
}
