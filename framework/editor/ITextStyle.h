#pragma once
// How DrawTextInBox and the text-entry box set their text.
#include "editor/IColourARGB.h"

namespace mg {

struct ITextStyle {
    enum Style : int { kNormal = 0, kBold = 1, kItalic = 2 };
    enum Align : int { kLeft = 0, kCentre = 1, kRight = 2 };

    const char* face = "Arial";
    int size = 14;
    IColourARGB colour{255, 0, 0, 0};
    int style = kNormal;
    int align = kCentre;
    int orientation = 0; // degrees
};

} // namespace mg
