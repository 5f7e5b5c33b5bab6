#pragma once
// The parts of the value-entry box that do not depend on a window system:
// where the box goes, what it shows, and what a typed text commits.
#include <cstddef>

#include "core/IParameter.h"
#include "editor/IRectangle.h"

namespace mg {

// The box's progress; the window part moves it on focus, Return, list
// selection and right-button presses, the redraw tick acts on it.
enum class TextEntryState : int { None = 0, Focused = 1, Refresh = 2, Cancel = 3, Commit = 4 };

struct TextEntryPlan {
    bool choiceList = false; // a drop-down list of the value texts, else an edit box
    int x = 0;               // top-left, editor pixels
    int y = 0;
    int width = 0;
    int height = 0;
    char text[kParamTextSize] = {}; // the parameter's current display text
    int selection = -1;             // list entry matching the text, or -1
};

// A parameter with value texts gets a list hanging from the control's
// centre, wide enough for its longest text; any other an edit box of the
// control's size (at least 36 x 16) centred on it.
TextEntryPlan PlanTextEntry(const IRectangle& controlRect, const IParameter& parameter);

// The normalised value a committed text stands for: with value texts the
// value of the exactly matching one (0 when none matches), otherwise the
// text read as a decimal number (0 when it is none).
double CommittedValue(const IParameter& parameter, const char* text);

// Typing into the value box's text (capacity bytes with the terminator):
// while `fresh` the text still shows the value and the first character
// replaces it; a full text takes no more.
void TypeIntoEntry(char* text, std::size_t capacity, bool& fresh, char character);
// Erase takes the last character away, or all of a fresh text.
void EraseFromEntry(char* text, bool& fresh);

} // namespace mg
