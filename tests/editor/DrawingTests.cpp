// The drawing family on the editor: every operation draws only inside the
// area being redrawn, takes the IBlendSpec, and needs a surface.
#include <gtest/gtest.h>

#include "EditorTestPlugin.h"
#include "editor/IControls.h"

using namespace mg;
using mg::test::PixelAt;
using mg::test::SolidStrip;

namespace {

constexpr std::uint32_t kBlack = 0xFF000000u;
const IColourARGB kRed{255, 255, 0, 0};

// A 20 x 20 editor painted black, then redrawing only (5, 5)..(15, 15).
struct ClippedEditor {
    IEditorWindow editor{nullptr, 20, 20, 0};
    ClippedEditor()
    {
        editor.CreateDrawSurface();
        editor.AttachControl(
            new IBitmapControl(nullptr, 0, 0, -1, SolidStrip(editor, 20, 20, {kBlack}), IBlendSpec::kOverwrite));
        editor.RedrawTick();
        editor.DrawDirtyArea(IRectangle(5, 5, 15, 15));
    }
    // Every pixel that is no longer black lies inside the redrawn area.
    int DrawnCount() const
    {
        int drawn = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x) {
                if (PixelAt(*editor.DrawSurface(), x, y) == kBlack) continue;
                EXPECT_TRUE(IRectangle(5, 5, 15, 15).Contains(x, y)) << x << "," << y;
                ++drawn;
            }
        return drawn;
    }
};

} // namespace

TEST(EditorDrawing, EveryOperationDrawsOnlyInsideTheAreaBeingRedrawn)
{
    {
        ClippedEditor e;
        EXPECT_TRUE(e.editor.StrokeLine(kRed, 0, 10, 19, 10, nullptr));
        EXPECT_EQ(e.DrawnCount(), 10);
    }
    {
        ClippedEditor e;
        EXPECT_TRUE(e.editor.HorizontalSpan(kRed, 7, 0, 19, nullptr));
        EXPECT_TRUE(e.editor.VerticalSpan(kRed, 7, 0, 19, nullptr));
        EXPECT_EQ(e.DrawnCount(), 19);
    }
    {
        ClippedEditor e;
        EXPECT_TRUE(e.editor.PlotPoint(kRed, 5, 5, nullptr));
        EXPECT_FALSE(e.editor.PlotPoint(kRed, 4, 5, nullptr));
        EXPECT_EQ(e.DrawnCount(), 1);
    }
    {
        ClippedEditor e;
        EXPECT_TRUE(e.editor.StrokeCircle(kRed, 10, 10, 8, nullptr));
        EXPECT_TRUE(e.editor.StrokeArc(kRed, 10, 10, 3, 0, 90, nullptr));
        EXPECT_GT(e.DrawnCount(), 4);
        EXPECT_EQ(e.editor.ReadPixel(10, 7), kRed); // the arc's start at twelve o'clock
    }
    {
        ClippedEditor e;
        const IBitmapStrip red = SolidStrip(e.editor, 20, 20, {kRed.Pixel(), kBlack});
        EXPECT_TRUE(e.editor.RotateBitmapInto(red, IRectangle(0, 0, 20, 20), 90.0, nullptr));
        EXPECT_EQ(e.DrawnCount(), 100); // the top frame only, clipped
    }
    {
        ClippedEditor e;
        const IBitmapStrip red = SolidStrip(e.editor, 20, 20, {kRed.Pixel()});
        const IBitmapStrip mask = SolidStrip(e.editor, 8, 8, {0xFF000000u});
        EXPECT_TRUE(e.editor.RotateMaskedBitmapInto(red, mask, IRectangle(0, 0, 20, 20), 30.0, nullptr));
        EXPECT_EQ(e.DrawnCount(), 9); // (5, 5)..(8, 8): the clip and the mask overlap
    }
}

TEST(EditorDrawing, TakesTheBlendSpecAndNeedsASurface)
{
    ClippedEditor e;
    const IBlendSpec half{IBlendSpec::kOverwrite, 0.5f};
    e.editor.HorizontalSpan(IColourARGB{255, 200, 100, 50}, 6, 6, 6, &half);
    EXPECT_EQ(e.editor.ReadPixel(6, 6), (IColourARGB{254, 100, 50, 25})); // the average of the words

    IEditorWindow bare(nullptr, 10, 10, 0);
    EXPECT_FALSE(bare.StrokeLine(kRed, 0, 0, 5, 5, nullptr));
    EXPECT_FALSE(bare.RotateMaskedBitmapInto(IBitmapStrip{}, IBitmapStrip{}, IRectangle(0, 0, 5, 5), 0.0, nullptr));

    IMemoryBitmap source(2, 1);
    source.Pixels()[0] = 0x11223344u;
    source.Pixels()[1] = 0x55667788u;
    const auto doubled = bare.ScaledCopy(source, 4, 2);
    ASSERT_NE(doubled, nullptr);
    EXPECT_EQ(PixelAt(*doubled, 1, 1), 0x11223344u);
    EXPECT_EQ(PixelAt(*doubled, 2, 0), 0x55667788u);
}
