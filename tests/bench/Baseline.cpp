// bench_baseline.exe: the smallest programs that do what the monitor does, as
// yardsticks for scripts/bench.sh.
//
//   bench_baseline.exe loop       the run loop alone: PeekMessage, then on an
//                                 empty queue GetSystemPowerStatus and Sleep(5)
//   bench_baseline.exe notifier   the same loop with one hidden window, one
//                                 notification-area icon and one plain popup:
//                                 on each change of the power status it sets
//                                 the monitor's tooltip text and a stock icon,
//                                 and shows the popup off mains power (hides
//                                 it on mains power)
//   bench_baseline.exe blocked    one hidden window and a loop blocked in
//                                 GetMessage: the floor of a windowed program
//                                 that waits for messages and does nothing
//   bench_baseline.exe timer MS   the notifier blocked in GetMessage, which
//                                 reads the power status at start, on a
//                                 posted WM_POWERBROADCAST and on a timer
//                                 every MS milliseconds: the floor of a
//                                 program that sleeps until it is told, and
//                                 must look that often where nothing
//                                 announces a change
//   bench_baseline.exe picture PATH   the notifier, which before its icon
//                                 reads the picture at PATH through GDI+
//                                 (loaded for that read only) into 32-bit
//                                 ARGB pixels, as the monitor reads its alert
//                                 picture before its icon: the least a start
//                                 that must decode the picture can cost
//
// The notifier's tooltips read as the monitor's, so the benchmark waits for
// the same text from both; its popup is titled "Notifier - power disconnected".

#include <windows.h>
#include <gdiplus.h>
#include <shellapi.h>

#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace
{

const UINT kIconMessage = WM_APP + 1;
const int kPopupWidth = 520;
const int kPopupHeight = 320;

LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Closing only hides, as the monitor's alert does.
    if (message == WM_CLOSE)
    {
        ShowWindow(window, SW_HIDE);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool SameStatus(const SYSTEM_POWER_STATUS& a, const SYSTEM_POWER_STATUS& b)
{
    return a.ACLineStatus == b.ACLineStatus && a.BatteryFlag == b.BatteryFlag &&
           a.BatteryLifePercent == b.BatteryLifePercent;
}

template <typename Function> Function Proc(HMODULE module, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Reads the picture at path into ARGB pixels and drops them; false when any
// step fails. Every GDI+ object is released before the library goes.
bool DecodePicture(const wchar_t* path)
{
    namespace Flat = Gdiplus::DllExports;
    HMODULE module = LoadLibraryW(L"gdiplus.dll");
    if (!module)
        return false;
    const auto startup = Proc<decltype(&Gdiplus::GdiplusStartup)>(module, "GdiplusStartup");
    const auto shutdown = Proc<decltype(&Gdiplus::GdiplusShutdown)>(module, "GdiplusShutdown");
    const auto fromFile =
        Proc<decltype(&Flat::GdipCreateBitmapFromFile)>(module, "GdipCreateBitmapFromFile");
    const auto width = Proc<decltype(&Flat::GdipGetImageWidth)>(module, "GdipGetImageWidth");
    const auto height = Proc<decltype(&Flat::GdipGetImageHeight)>(module, "GdipGetImageHeight");
    const auto lock = Proc<decltype(&Flat::GdipBitmapLockBits)>(module, "GdipBitmapLockBits");
    const auto unlock = Proc<decltype(&Flat::GdipBitmapUnlockBits)>(module, "GdipBitmapUnlockBits");
    const auto dispose = Proc<decltype(&Flat::GdipDisposeImage)>(module, "GdipDisposeImage");

    bool read = false;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    if (startup && shutdown && fromFile && width && height && lock && unlock && dispose &&
        startup(&token, &input, nullptr) == Gdiplus::Ok)
    {
        Gdiplus::GpBitmap* bitmap = nullptr;
        UINT w = 0, h = 0;
        if (fromFile(path, &bitmap) == Gdiplus::Ok && width(bitmap, &w) == Gdiplus::Ok &&
            height(bitmap, &h) == Gdiplus::Ok)
        {
            void* pixels = HeapAlloc(GetProcessHeap(), 0, static_cast<SIZE_T>(w) * h * 4);
            Gdiplus::GpRect whole(0, 0, static_cast<INT>(w), static_cast<INT>(h));
            Gdiplus::BitmapData data;
            if (pixels && lock(bitmap, &whole, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB,
                               &data) == Gdiplus::Ok)
            {
                for (UINT y = 0; y < h; ++y)
                    std::memcpy(static_cast<BYTE*>(pixels) + y * w * 4,
                                static_cast<const BYTE*>(data.Scan0) + y * data.Stride, w * 4);
                unlock(bitmap, &data);
                read = true;
            }
            if (pixels)
                HeapFree(GetProcessHeap(), 0, pixels);
        }
        if (bitmap)
            dispose(bitmap);
        shutdown(token);
    }
    FreeLibrary(module);
    return read;
}

class Notifier
{
public:
    bool Create(HINSTANCE instance)
    {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = PlainProc;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        windowClass.lpszClassName = L"BenchNotifier";
        if (!RegisterClassW(&windowClass))
            return false;
        m_hidden = CreateWindowExW(0, windowClass.lpszClassName, L"Notifier", WS_OVERLAPPEDWINDOW,
                                   0, 0, 100, 100, nullptr, nullptr, instance, nullptr);
        m_popup = CreateWindowExW(WS_EX_TOPMOST, windowClass.lpszClassName,
                                  L"Notifier - power disconnected", WS_POPUP,
                                  (GetSystemMetrics(SM_CXSCREEN) - kPopupWidth) / 2,
                                  (GetSystemMetrics(SM_CYSCREEN) - kPopupHeight) / 2, kPopupWidth,
                                  kPopupHeight, nullptr, nullptr, instance, nullptr);
        if (!m_hidden || !m_popup)
            return false;

        std::memset(&m_icon, 0, sizeof(m_icon));
        m_icon.cbSize = sizeof(m_icon);
        m_icon.hWnd = m_hidden;
        m_icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        m_icon.uCallbackMessage = kIconMessage;
        m_icon.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
        lstrcpynW(m_icon.szTip, L"Ohmwatch", 128);
        Shell_NotifyIconW(NIM_ADD, &m_icon);
        return true;
    }

    void Show(const SYSTEM_POWER_STATUS& status)
    {
        const int percent = static_cast<signed char>(status.BatteryLifePercent);
        const bool mains = status.ACLineStatus == 1;
        if (mains)
            _snwprintf(m_icon.szTip, 128, L"Ohmwatch - charging (%d%%)", percent);
        else
            _snwprintf(m_icon.szTip, 128, L"Ohmwatch - %d%%", percent);
        m_icon.szTip[127] = L'\0';
        // Stock icons are shared: nothing to load or release.
        m_icon.hIcon = LoadIconW(nullptr, mains ? IDI_INFORMATION : IDI_WARNING);
        Shell_NotifyIconW(NIM_MODIFY, &m_icon);
        ShowWindow(m_popup, mains ? SW_HIDE : SW_SHOW);
    }

private:
    HWND m_hidden = nullptr;
    HWND m_popup = nullptr;
    NOTIFYICONDATAW m_icon;
};

// Without a period: never wakes by itself.
int RunBlocked(HINSTANCE instance)
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = PlainProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"BenchBlocked";
    if (!RegisterClassW(&windowClass))
        return 1;
    const HWND hidden = CreateWindowExW(0, windowClass.lpszClassName, L"Blocked",
                                        WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                        instance, nullptr);
    if (!hidden)
        return 1;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
    {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

// The notifier woken only by the thread's timer and by announcements, which
// the benchmark posts to every top-level window (its hidden one among them).
int RunWaitingNotifier(HINSTANCE instance, UINT periodMs)
{
    Notifier notifier;
    if (!notifier.Create(instance) || SetTimer(nullptr, 0, periodMs, nullptr) == 0)
        return 1;
    SYSTEM_POWER_STATUS last;
    std::memset(&last, 0xFF, sizeof(last));
    MSG message;
    message.message = WM_TIMER; // the check at start
    do
    {
        if (message.message == WM_TIMER || message.message == WM_POWERBROADCAST)
        {
            SYSTEM_POWER_STATUS now;
            if (GetSystemPowerStatus(&now) && !SameStatus(now, last))
            {
                notifier.Show(now);
                last = now;
            }
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    } while (GetMessageW(&message, nullptr, 0, 0) > 0);
    return static_cast<int>(message.wParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    if (std::strstr(commandLine, "blocked") != nullptr)
        return RunBlocked(instance);
    if (const char* timer = std::strstr(commandLine, "timer "))
        return RunWaitingNotifier(instance, static_cast<UINT>(std::atoi(timer + 6)));
    const char* picture = std::strstr(commandLine, "picture ");
    const bool notify = picture != nullptr || std::strstr(commandLine, "notifier") != nullptr;
    if (!notify && std::strstr(commandLine, "loop") == nullptr)
        return 2;
    if (picture != nullptr)
    {
        wchar_t path[MAX_PATH];
        if (MultiByteToWideChar(CP_ACP, 0, picture + 8, -1, path, MAX_PATH) == 0 ||
            !DecodePicture(path))
            return 3;
    }
    Notifier notifier;
    if (notify && !notifier.Create(instance))
        return 1;

    SYSTEM_POWER_STATUS last;
    std::memset(&last, 0xFF, sizeof(last));
    MSG message;
    for (;;)
    {
        if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        {
            if (message.message == WM_QUIT)
                return static_cast<int>(message.wParam);
            TranslateMessage(&message);
            DispatchMessageW(&message);
            continue;
        }
        SYSTEM_POWER_STATUS now;
        if (GetSystemPowerStatus(&now) && notify && !SameStatus(now, last))
        {
            notifier.Show(now);
            last = now;
        }
        Sleep(5);
    }
}
