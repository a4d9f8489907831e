#include "ui/dialog_units.h"

#include "ui/handles.h"

namespace kivo::ui {

SIZE dialog_units_to_pixels(int width, int height)
{
    // The dialog manager's measure: the average width of the 52 letters and
    // the font's height, in the font the dialogs use.
    int base_x = 0;
    int base_y = 0;
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof(metrics);
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        FontHandle font(CreateFontIndirectA(&metrics.lfMessageFont));
        HDC dc = GetDC(nullptr);
        if (dc && font) {
            HGDIOBJ old = SelectObject(dc, font.get());
            TEXTMETRICA tm{};
            SIZE extent{};
            static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
            if (GetTextMetricsA(dc, &tm) && GetTextExtentPoint32A(dc, letters, 52, &extent)) {
                base_x = (extent.cx / 26 + 1) / 2;
                base_y = tm.tmHeight;
            }
            SelectObject(dc, old);
        }
        if (dc)
            ReleaseDC(nullptr, dc);
    }
    if (base_x <= 0 || base_y <= 0) {
        LONG units = GetDialogBaseUnits();
        base_x = LOWORD(units);
        base_y = HIWORD(units);
    }
    return SIZE{MulDiv(width, base_x, 4), MulDiv(height, base_y, 8)};
}

}  // namespace kivo::ui
