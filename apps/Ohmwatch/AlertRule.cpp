#include "AlertRule.h"

bool IsAlertDue(const PowerStatus& status, const Settings& settings)
{
    const unsigned int percent = status.percent;
    const int threshold = settings.AlertShowPercent;
    return status.source == PowerSource::Battery && static_cast<int>(percent) <= threshold &&
           settings.AlertDoShow;
}

unsigned char AlertConstantAlpha(unsigned char opacity)
{
    if (opacity > 100)
        opacity = 100;
    // 2.55 has no exact binary form and 100 x 2.55 comes out just below 255,
    // so full opacity gives 254: the same 254 at which pictures are blended
    // everywhere else, so the transparent and the opaque alert look alike.
    // The product is rounded to a double before it is truncated: the x87
    // unit would otherwise truncate its wider intermediate, and 20 x 2.55,
    // a hair below 51 there, would give 50. The store through memory is what
    // makes that rounding happen with every compiler and option.
    volatile double product = opacity * 2.55;
    return static_cast<unsigned char>(static_cast<int>(product));
}
