// Dialog units, the measure of dialog templates, turned into pixels.
//
// A dialog's base units come from its font: the average width of the 52 letters A-Z a-z
// and the character height. A horizontal unit is a quarter of the average width, a
// vertical unit an eighth of the height, and every conversion rounds like MulDiv
// (to the nearest, halves away from zero).
#pragma once

#include "ui/DialogTemplate.h"

namespace velmora {

struct DialogBaseUnits {
    int averageWidth = 0; // pixels
    int height = 0;       // pixels
    friend constexpr bool operator==(const DialogBaseUnits&, const DialogBaseUnits&) = default;
};

struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    friend constexpr bool operator==(const PixelRect&, const PixelRect&) = default;
};

// a * b / c computed in 64 bits and rounded to the nearest, halves away from zero.
// -1 when c is 0 or the result does not fit an int (as the Windows routine answers).
int MulDiv(int a, int b, int c);

// Base units from the width of the text "A...Za...z" and the character height, both
// in pixels: the average width is the extent / 52, rounded to the nearest.
DialogBaseUnits BaseUnitsFromMetrics(int alphabetExtent, int characterHeight);

int HorizontalUnitsToPixels(int units, DialogBaseUnits base);
int VerticalUnitsToPixels(int units, DialogBaseUnits base);

// Each of left, top, width and height is converted on its own, the way controls are
// placed when a dialog is created from its template.
PixelRect MapDialogRect(DialogRect rect, DialogBaseUnits base);

} // namespace velmora
