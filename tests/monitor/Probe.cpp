// Looks at the monitor from outside its process, the way a person or the
// shell would: finds its top-level windows by title and reports where they
// are and how they look, closes them, and drives popup menus.
//
//   monitor_probe list TITLE
//   monitor_probe await TITLE visible|hidden|absent|present TIMEOUT_MS
//   monitor_probe stamp TITLE visible|hidden|absent|present TIMEOUT_MS
//                                 (as await, looking every millisecond, and
//                                  prints only at=<microseconds since 1970>
//                                  of the moment it saw the condition hold)
//   monitor_probe close TITLE
//   monitor_probe menu DOWNS      (DOWNS x Down then Return; 0: Escape)
//   monitor_probe class CLASS     (every top-level window of that class)
//   monitor_probe broadcast power|resume [FILE]  (as Windows announces a
//                                  change of the power status, or a resume
//                                  from sleep, to every top-level window:
//                                  WM_POWERBROADCAST with
//                                  PBT_APMPOWERSTATUSCHANGE or
//                                  PBT_APMRESUMEAUTOMATIC; with FILE, once
//                                  that file exists, looking every
//                                  millisecond for up to 10 s; prints at= of
//                                  the moment it sent and done= of the
//                                  moment every window had answered)
//   monitor_probe post power|resume [FILE]  (the same announcement posted to
//                                  every top-level window, without waiting
//                                  for any; prints at=)
//   monitor_probe display WxH|now (changes the resolution of the screen to W x H
//                                  with ChangeDisplaySettingsExW, or not with
//                                  "now"; prints result=<its result> and
//                                  screen=WxH as the system then reports it)
//   monitor_probe icon EXE ID[@SIZE]...  (per ID, the icon resource of EXE at
//                                  SIZE x SIZE pixels, 16 by default, as the
//                                  test shell logs icons:
//                                  ID[@SIZE] icon=WxH mask=.. color=..)
//
// A window line reads:
//   hwnd=0x... visible=1 topmost=1 layered=1 x=.. y=.. w=.. h=.. cw=.. ch=..
//   ox=.. oy=.. focus=1 style=0x... exstyle=0x... class=... title=...
// (ox, oy: the client area's top-left corner on the screen; focus: the
// window has the keyboard focus of its thread)
// Exit code 0 on success, 1 when the condition was not met in time, 2 on
// wrong use.

#include "TestShell.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace
{

struct Search
{
    const wchar_t* title;
    std::vector<HWND> found;
};

BOOL CALLBACK Collect(HWND window, LPARAM param)
{
    Search* search = reinterpret_cast<Search*>(param);
    wchar_t text[256] = L"";
    GetWindowTextW(window, text, 256);
    if (wcscmp(text, search->title) == 0)
        search->found.push_back(window);
    return TRUE;
}

std::vector<HWND> FindByTitle(const wchar_t* title)
{
    Search search = {title, {}};
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void PrintWindow(HWND window)
{
    RECT outer = {0, 0, 0, 0};
    RECT client = {0, 0, 0, 0};
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    const LONG exStyle = GetWindowLongW(window, GWL_EXSTYLE);
    wchar_t className[128] = L"";
    GetClassNameW(window, className, 128);
    wchar_t title[128] = L"";
    GetWindowTextW(window, title, 128);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    GUITHREADINFO thread;
    ZeroMemory(&thread, sizeof(thread));
    thread.cbSize = sizeof(thread);
    const bool focused = GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &thread) &&
                         thread.hwndFocus == window;
    wprintf(L"hwnd=0x%08lx visible=%d topmost=%d layered=%d x=%ld y=%ld w=%ld h=%ld cw=%ld "
            L"ch=%ld ox=%ld oy=%ld focus=%d style=0x%08lx exstyle=0x%08lx class=%ls title=%ls\n",
            static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window)),
            IsWindowVisible(window) ? 1 : 0, (exStyle & WS_EX_TOPMOST) ? 1 : 0,
            (exStyle & WS_EX_LAYERED) ? 1 : 0, outer.left, outer.top, outer.right - outer.left,
            outer.bottom - outer.top, client.right, client.bottom, origin.x, origin.y,
            focused ? 1 : 0, static_cast<unsigned long>(style), static_cast<unsigned long>(exStyle),
            className, title);
}

std::wstring Widen(const char* text)
{
    const int length = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    std::wstring wide(length > 0 ? length - 1 : 0, L'\0');
    if (length > 1)
        MultiByteToWideChar(CP_UTF8, 0, text, -1, &wide[0], length);
    return wide;
}

bool Holds(const std::vector<HWND>& windows, const char* condition)
{
    bool anyVisible = false;
    for (HWND window : windows)
        anyVisible = anyVisible || IsWindowVisible(window);
    if (strcmp(condition, "visible") == 0)
        return anyVisible;
    if (strcmp(condition, "hidden") == 0)
        return !windows.empty() && !anyVisible;
    if (strcmp(condition, "absent") == 0)
        return windows.empty();
    if (strcmp(condition, "present") == 0)
        return !windows.empty();
    fprintf(stderr, "unknown condition %s\n", condition);
    exit(2);
}

int List(const wchar_t* title)
{
    const std::vector<HWND> windows = FindByTitle(title);
    for (HWND window : windows)
        PrintWindow(window);
    return windows.empty() ? 1 : 0;
}

// Microseconds since 1970, from the host's clock as Wine reads it.
unsigned long long Now()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const unsigned long long ticks =
        (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return (ticks - 116444736000000000ull) / 10;
}

int Await(const wchar_t* title, const char* condition, DWORD timeoutMs, bool stamp)
{
    const DWORD start = GetTickCount();
    for (;;)
    {
        const std::vector<HWND> windows = FindByTitle(title);
        if (Holds(windows, condition))
        {
            if (stamp)
                wprintf(L"at=%llu\n", Now());
            else
                for (HWND window : windows)
                    PrintWindow(window);
            return 0;
        }
        if (GetTickCount() - start > timeoutMs)
        {
            fwprintf(stderr, L"timeout: \"%ls\" not %hs; windows:\n", title, condition);
            for (HWND window : windows)
                PrintWindow(window);
            return 1;
        }
        Sleep(stamp ? 1 : 20);
    }
}

int Close(const wchar_t* title)
{
    const std::vector<HWND> windows = FindByTitle(title);
    for (HWND window : windows)
        PostMessageW(window, WM_CLOSE, 0, 0);
    return windows.empty() ? 1 : 0;
}

// The popup menu is a top-level window of class "#32768" while it is open.
int DriveMenu(int downs)
{
    const DWORD start = GetTickCount();
    HWND menu = nullptr;
    while (GetTickCount() - start < 5000)
    {
        menu = FindWindowW(L"#32768", nullptr);
        if (menu != nullptr && IsWindowVisible(menu))
            break;
        menu = nullptr;
        Sleep(20);
    }
    if (menu == nullptr)
    {
        fprintf(stderr, "no popup menu opened\n");
        return 1;
    }
    if (downs == 0)
    {
        PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    }
    else
    {
        for (int i = 0; i < downs; ++i)
            PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
    }
    // Done once the menu has gone.
    while (GetTickCount() - start < 10000)
    {
        if (!IsWindow(menu) || !IsWindowVisible(menu))
            return 0;
        Sleep(20);
    }
    fprintf(stderr, "the popup menu did not close\n");
    return 1;
}

struct ClassSearch
{
    const wchar_t* className;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectClass(HWND window, LPARAM param)
{
    ClassSearch* search = reinterpret_cast<ClassSearch*>(param);
    wchar_t name[128] = L"";
    GetClassNameW(window, name, 128);
    if (wcscmp(name, search->className) == 0)
        search->found.push_back(window);
    return TRUE;
}

int ListClass(const wchar_t* className)
{
    ClassSearch search = {className, {}};
    EnumWindows(CollectClass, reinterpret_cast<LPARAM>(&search));
    for (HWND window : search.found)
        PrintWindow(window);
    return 0;
}

// Loads the icon the way the program's tray icon does (the group's image of
// that size, default colours) and prints the sums the test shell logs for it.
int Usage();

int PrintIconSums(const wchar_t* exe, char** ids, int count)
{
    HMODULE module = LoadLibraryExW(exe, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module == nullptr)
    {
        fwprintf(stderr, L"cannot load %ls\n", exe);
        return 1;
    }
    int missing = 0;
    for (int i = 0; i < count; ++i)
    {
        const int id = atoi(ids[i]);
        const char* at = strchr(ids[i], '@');
        const int size = at != nullptr ? atoi(at + 1) : 16;
        HICON icon = static_cast<HICON>(
            LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
        const IconSums sums = ComputeIconSums(icon);
        if (icon != nullptr)
            DestroyIcon(icon);
        if (!sums.valid)
        {
            fwprintf(stderr, L"no icon %d in %ls\n", id, exe);
            ++missing;
            continue;
        }
        wprintf(L"%hs icon=%dx%d mask=0x%08x color=0x%08x\n", ids[i], sums.width, sums.height,
                sums.mask, sums.color);
    }
    FreeLibrary(module);
    return missing == 0 ? 0 : 1;
}

// Sends WM_POWERBROADCAST to every top-level window and returns once each
// has answered (or hung for two seconds), as the system's announcement does;
// or posts it to each.
int Broadcast(const std::string& event, const wchar_t* whenFile, bool post)
{
    WPARAM code = 0;
    if (event == "power")
        code = PBT_APMPOWERSTATUSCHANGE;
    else if (event == "resume")
        code = PBT_APMRESUMEAUTOMATIC;
    else
        return 2;
    if (whenFile != nullptr)
    {
        const DWORD start = GetTickCount();
        while (GetFileAttributesW(whenFile) == INVALID_FILE_ATTRIBUTES)
        {
            if (GetTickCount() - start > 10000)
                return 1;
            Sleep(1);
        }
    }
    const unsigned long long sent = Now();
    if (post)
    {
        if (!PostMessageW(HWND_BROADCAST, WM_POWERBROADCAST, code, 0))
            return 1;
        wprintf(L"at=%llu\n", sent);
        return 0;
    }
    DWORD_PTR result = 0;
    if (SendMessageTimeoutW(HWND_BROADCAST, WM_POWERBROADCAST, code, 0, SMTO_ABORTIFHUNG, 2000,
                            &result) == 0)
        return 1;
    wprintf(L"at=%llu\ndone=%llu\n", sent, Now());
    return 0;
}

int Display(const char* size)
{
    LONG result = DISP_CHANGE_SUCCESSFUL;
    if (strcmp(size, "now") != 0)
    {
        DEVMODEW mode;
        ZeroMemory(&mode, sizeof(mode));
        mode.dmSize = sizeof(mode);
        if (sscanf(size, "%lux%lu", &mode.dmPelsWidth, &mode.dmPelsHeight) != 2)
            return Usage();
        mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
        result = ChangeDisplaySettingsExW(nullptr, &mode, nullptr, 0, nullptr);
    }
    wprintf(L"result=%ld screen=%dx%d\n", result, GetSystemMetrics(SM_CXSCREEN),
            GetSystemMetrics(SM_CYSCREEN));
    return result == DISP_CHANGE_SUCCESSFUL ? 0 : 1;
}

int Usage()
{
    fprintf(stderr, "usage: monitor_probe list|await|close TITLE ... | menu DOWNS | "
                    "broadcast power|resume\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return Usage();
    const std::string command = argv[1];
    if (command == "menu")
        return DriveMenu(atoi(argv[2]));
    if (command == "broadcast" || command == "post")
        return Broadcast(argv[2], argc >= 4 ? Widen(argv[3]).c_str() : nullptr, command == "post");
    if (command == "display")
        return Display(argv[2]);
    const std::wstring title = Widen(argv[2]);
    if (command == "class")
        return ListClass(title.c_str());
    if (command == "icon" && argc >= 4)
        return PrintIconSums(title.c_str(), argv + 3, argc - 3);
    if (command == "list")
        return List(title.c_str());
    if (command == "close")
        return Close(title.c_str());
    if ((command == "await" || command == "stamp") && argc >= 5)
        return Await(title.c_str(), argv[3], static_cast<DWORD>(atol(argv[4])),
                     command == "stamp");
    return Usage();
}
