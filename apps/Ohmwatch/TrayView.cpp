#include "TrayView.h"

namespace
{

// Appends text at out[pos], keeping the terminating zero; returns the new end.
int Append(wchar_t* out, int pos, const wchar_t* text)
{
    while (*text)
        out[pos++] = *text++;
    out[pos] = L'\0';
    return pos;
}

// A charge of 0 to 100, without padding.
int AppendPercent(wchar_t* out, int pos, int value)
{
    wchar_t digits[3];
    int count = 0;
    do
    {
        digits[count++] = static_cast<wchar_t>(L'0' + value % 10);
        value /= 10;
    } while (value > 0);
    while (count > 0)
        out[pos++] = digits[--count];
    out[pos] = L'\0';
    return pos;
}

int BandIcon(int percent)
{
    if (percent < 10)
        return TrayIconBatteryBase;
    if (percent < 30)
        return TrayIconBatteryBase + 20;
    if (percent < 50)
        return TrayIconBatteryBase + 40;
    if (percent < 70)
        return TrayIconBatteryBase + 60;
    if (percent < 90)
        return TrayIconBatteryBase + 80;
    return TrayIconBatteryBase + 100;
}

} // namespace

TrayView MakeTrayView(const PowerStatus& status)
{
    TrayView view;
    const bool known = status.IsChargeKnown();
    const int percent = status.percent;
    int pos = Append(view.tooltip, 0, L"Ohmwatch - ");
    view.iconId = TrayIconUnknown;
    switch (status.source)
    {
    case PowerSource::Battery:
        if (!known)
        {
            Append(view.tooltip, pos, L"on battery");
            break;
        }
        pos = AppendPercent(view.tooltip, pos, percent);
        Append(view.tooltip, pos, L"%");
        view.iconId = BandIcon(percent);
        break;
    case PowerSource::AC:
        if (!known)
        {
            Append(view.tooltip, pos, L"plugged in");
            break;
        }
        // A full battery, or one the system does not charge, is only plugged in.
        pos = Append(view.tooltip, pos,
                     status.batteryState == BatteryState::Charging ? L"charging (" : L"plugged in (");
        pos = AppendPercent(view.tooltip, pos, percent);
        Append(view.tooltip, pos, L"%)");
        view.iconId = BandIcon(percent) + TrayIconChargingOffset;
        break;
    default:
        Append(view.tooltip, pos, L"power source unknown");
        break;
    }
    return view;
}
