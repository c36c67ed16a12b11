#include "PowerWatch.h"

namespace
{

const UINT_PTR kTimerId = 1;

// The WM_POWERBROADCAST event of a registered power setting (Vista and
// later; the headers for XP lack it).
const WPARAM kPowerSettingChange = 0x8013; // PBT_POWERSETTINGCHANGE

// GUID_ACDC_POWER_SOURCE and GUID_BATTERY_PERCENTAGE_REMAINING.
const GUID kPowerSourceSetting = {
    0x5D3E9A59, 0xE9D5, 0x4B00, {0xA6, 0xBD, 0xFF, 0x34, 0xFF, 0x51, 0x65, 0x48}};
const GUID kChargeSetting = {
    0xA7AD8041, 0xB45A, 0x4CAE, {0x87, 0xA3, 0xEE, 0xCB, 0xB4, 0x68, 0xA9, 0xE1}};

const DWORD kNotifyWindowHandle = 0; // DEVICE_NOTIFY_WINDOW_HANDLE

// Functions of Windows Vista (the power settings) and Windows 8 (the
// coalescable timer), looked up at run time so that the program still loads
// on XP; null where the system lacks them.
using RegisterPowerSettingFn = void*(WINAPI*)(HANDLE, const GUID*, DWORD);
using UnregisterPowerSettingFn = BOOL(WINAPI*)(void*);
using SetCoalescableTimerFn = UINT_PTR(WINAPI*)(HWND, UINT_PTR, UINT, TIMERPROC, ULONG);

template <typename Function> Function User32Function(const char* name)
{
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 != nullptr
               ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name)))
               : nullptr;
}

void* RegisterPowerSetting(HWND window, const GUID& setting)
{
    static const RegisterPowerSettingFn registerFn =
        User32Function<RegisterPowerSettingFn>("RegisterPowerSettingNotification");
    return registerFn != nullptr ? registerFn(window, &setting, kNotifyWindowHandle) : nullptr;
}

void UnregisterPowerSetting(void*& registration)
{
    static const UnregisterPowerSettingFn unregisterFn =
        User32Function<UnregisterPowerSettingFn>("UnregisterPowerSettingNotification");
    if (registration != nullptr && unregisterFn != nullptr)
        unregisterFn(registration);
    registration = nullptr;
}

// A timer that fires at most every seconds. Where the system may coalesce
// it with others, it is given a quarter of the period as tolerance and
// fires up to that much after the rest: the sum stays the period.
UINT_PTR SetWatchTimer(HWND window, unsigned int seconds)
{
    static const SetCoalescableTimerFn coalescable =
        User32Function<SetCoalescableTimerFn>("SetCoalescableTimer");
    const UINT period = seconds * 1000u;
    if (coalescable != nullptr)
    {
        const UINT_PTR timer =
            coalescable(window, kTimerId, period - period / 4, nullptr, period / 4);
        if (timer != 0)
            return timer;
    }
    return SetTimer(window, kTimerId, period, nullptr);
}

} // namespace

PowerWatch::PowerWatch() : m_hWindow(nullptr), m_timer(0), m_powerSource(nullptr), m_charge(nullptr)
{
}

PowerWatch::~PowerWatch()
{
    Stop();
}

bool PowerWatch::Start(HWND window, unsigned int seconds)
{
    Stop();
    if (window == nullptr || seconds == 0)
        return false;
    m_timer = SetWatchTimer(window, seconds);
    if (m_timer == 0)
        return false;
    m_hWindow = window;
    m_powerSource = RegisterPowerSetting(window, kPowerSourceSetting);
    m_charge = RegisterPowerSetting(window, kChargeSetting);
    return true;
}

void PowerWatch::Stop()
{
    UnregisterPowerSetting(m_charge);
    UnregisterPowerSetting(m_powerSource);
    if (m_timer != 0)
        KillTimer(m_hWindow, kTimerId);
    m_timer = 0;
    m_hWindow = nullptr;
}

bool PowerWatch::IsWatching() const
{
    return m_hWindow != nullptr;
}

bool PowerWatch::CallsForCheck(unsigned int message, WPARAM wParam) const
{
    if (m_hWindow == nullptr)
        return false;
    if (message == WM_TIMER)
        return wParam == kTimerId;
    if (message != WM_POWERBROADCAST)
        return false;
    switch (wParam)
    {
    case PBT_APMPOWERSTATUSCHANGE:
    case kPowerSettingChange:
    case PBT_APMRESUMEAUTOMATIC:
    case PBT_APMRESUMESUSPEND:
    case PBT_APMRESUMECRITICAL:
        return true;
    default:
        return false;
    }
}
