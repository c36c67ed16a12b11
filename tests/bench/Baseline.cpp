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
//
// The notifier's tooltips read as the monitor's, so the benchmark waits for
// the same text from both; its popup is titled "Notifier - power disconnected".

#include <windows.h>
#include <shellapi.h>

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

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    const bool notify = std::strstr(commandLine, "notifier") != nullptr;
    if (!notify && std::strstr(commandLine, "loop") == nullptr)
        return 2;
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
