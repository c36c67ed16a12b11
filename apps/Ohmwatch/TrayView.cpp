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

int AppendNumber(wchar_t* out, int pos, int value)
{
    if (value < 0)
    {
        out[pos++] = L'-';
        value = -value;
    }
    wchar_t digits[4];
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
    const int percent = static_cast<signed char>(status.percent);
    int pos = Append(view.tooltip, 0, L"Ohmwatch - ");
    switch (status.source)
    {
    case PowerSource::Battery:
        pos = AppendNumber(view.tooltip, pos, percent);
        Append(view.tooltip, pos, L"%");
        view.iconId = BandIcon(percent);
        break;
    case PowerSource::AC:
        pos = Append(view.tooltip, pos, L"charging (");
        pos = AppendNumber(view.tooltip, pos, percent);
        Append(view.tooltip, pos, L"%)");
        view.iconId = BandIcon(percent) + TrayIconChargingOffset;
        break;
    default:
        Append(view.tooltip, pos, L"no battery");
        view.iconId = TrayIconUnknown;
        break;
    }
    return view;
}
