#include "editor/ScaleMenuControl.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "editor/DisplayScale.h"
#include "editor/IGraphics.h"

namespace mg {

namespace {

// The panel's letters: 3 x 5 cells, each cell a square of kCell logical
// pixels, so they stay sharp at every size (the editor has no font of its
// own; one per platform would make the menu differ between them).
constexpr int kCell = 2;
constexpr int kAdvance = 4 * kCell;
constexpr int kPadding = 5;
constexpr int kTextLeft = kPadding + 10;

struct Glyph {
    char c;
    std::array<std::uint8_t, 5> rows; // bit 2 is the left cell
};

constexpr std::array<Glyph, 14> kGlyphs{{
    {'0', {7, 5, 5, 5, 7}}, {'1', {2, 6, 2, 2, 7}}, {'2', {7, 1, 7, 4, 7}}, {'3', {7, 1, 7, 1, 7}},
    {'4', {5, 5, 7, 1, 1}}, {'5', {7, 4, 7, 1, 7}}, {'6', {7, 4, 7, 5, 7}}, {'7', {7, 1, 1, 1, 1}},
    {'8', {7, 5, 7, 5, 7}}, {'9', {7, 5, 7, 1, 7}}, {'A', {2, 5, 7, 5, 5}}, {'U', {5, 5, 5, 5, 7}},
    {'T', {7, 2, 2, 2, 2}}, {'O', {7, 5, 5, 5, 7}},
}};

const IColourARGB kPanel{255, 32, 30, 28};
const IColourARGB kBorder{255, 150, 144, 132};
const IColourARGB kText{255, 226, 220, 204};
const IColourARGB kLitRow{255, 214, 150, 48};
const IColourARGB kLitText{255, 32, 30, 28};

void DrawLabel(IGraphics& graphics, const char* text, int x, int y, const IColourARGB& colour)
{
    for (; *text; ++text, x += kAdvance) {
        const auto glyph = std::find_if(kGlyphs.begin(), kGlyphs.end(), [&](const Glyph& g) { return g.c == *text; });
        if (glyph == kGlyphs.end()) continue;
        for (int row = 0; row < 5; ++row)
            for (int column = 0; column < 3; ++column)
                if (glyph->rows[static_cast<std::size_t>(row)] & (4 >> column))
                    graphics.FillRectangle(colour,
                                           IRectangle{x + column * kCell, y + row * kCell, x + (column + 1) * kCell,
                                                      y + (row + 1) * kCell},
                                           nullptr);
    }
}

int RowPercent(int row) { return row == 0 ? 0 : kScaleSteps[static_cast<std::size_t>(row - 1)]; }

} // namespace

ScaleMenuControl::ScaleMenuControl(IAudioPlugin* owner, int width, int height)
    : IControl(owner, IRectangle{0, 0, width, height})
{
    SetPromptDisabled(true);
}

void ScaleMenuControl::Open(int x, int y)
{
    const IRectangle& editor = DrawRect();
    const int height = kRows * kRowHeight + 2 * kPadding;
    x = std::clamp(x, editor.left, std::max(editor.left, editor.right - kPanelWidth));
    y = std::clamp(y, editor.top, std::max(editor.top, editor.bottom - height));
    panel_ = IRectangle{x, y, x + kPanelWidth, y + height};
    SetHidden(false);
}

void ScaleMenuControl::Close()
{
    if (IsOpen()) SetHidden(true);
}

int ScaleMenuControl::PercentAt(int x, int y) const
{
    if (!IsOpen() || x < panel_.left || x >= panel_.right) return -1;
    const int offset = y - panel_.top - kPadding;
    if (offset < 0 || offset >= kRows * kRowHeight) return -1;
    return RowPercent(offset / kRowHeight);
}

bool ScaleMenuControl::Draw(IGraphics& graphics)
{
    graphics.FillRectangle(kBorder, panel_, nullptr);
    graphics.FillRectangle(kPanel, IRectangle{panel_.left + 1, panel_.top + 1, panel_.right - 1, panel_.bottom - 1},
                           nullptr);
    const int chosen = graphics.UserScalePercent();
    for (int row = 0; row < kRows; ++row) {
        const int percent = RowPercent(row);
        const int top = panel_.top + kPadding + row * kRowHeight;
        const bool lit = percent == chosen;
        if (lit)
            graphics.FillRectangle(kLitRow, IRectangle{panel_.left + 2, top, panel_.right - 2, top + kRowHeight},
                                   nullptr);
        const IColourARGB& ink = lit ? kLitText : kText;
        if (percent == graphics.ScalePercent())
            graphics.FillRectangle(ink, IRectangle{panel_.left + kPadding + 1, top + 5, panel_.left + kPadding + 5, top + 9},
                                   nullptr);
        char label[5] = "AUTO";
        if (percent != 0) {
            label[0] = static_cast<char>('0' + percent / 100);
            label[1] = static_cast<char>('0' + percent / 10 % 10);
            label[2] = static_cast<char>('0' + percent % 10);
            label[3] = '\0';
        }
        DrawLabel(graphics, label, panel_.left + kTextLeft, top + 2, ink);
    }
    return true;
}

void ScaleMenuControl::MouseDown(int x, int y, const IMouseModifiers& modifiers)
{
    const int percent = modifiers.left ? PercentAt(x, y) : -1;
    Close();
    if (percent >= 0)
        if (IGraphics* graphics = Graphics()) graphics->RequestUserScale(percent);
}

} // namespace mg
