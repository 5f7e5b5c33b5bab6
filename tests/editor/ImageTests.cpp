// Image resources through the process-wide cache, the background image, and
// the hand-drawing primitives.
#include <gtest/gtest.h>

#include <cstdint>

#include "EditorTestPlugin.h"
#include "editor/IControls.h"
#include "editor/ImageCache.h"
#include "raster/DecodeImage.h"

namespace mg::test {
const ResourceModule* EditorResources();
}

using namespace mg;
using mg::test::EditorResources;
using mg::test::EditorTestPlugin;
using mg::test::PixelAt;
using mg::test::ProbeControl;
using mg::test::SolidStrip;

namespace {

// Ids of tests/editor/CMakeLists.txt. The cache lives as long as the
// process, so each test that needs a first decode uses an id of its own.
constexpr int kLedForSharing = 7101;
constexpr int kLedForBackground = 7102;
constexpr int kNotAnImage = 7190;

class CountingEditor : public IEditorWindow {
public:
    using IEditorWindow::IEditorWindow;
    std::unique_ptr<IBitmap> DecodeImageResource(int id, const char* fileName) override
    {
        ++decodes;
        return IEditorWindow::DecodeImageResource(id, fileName);
    }
    int decodes = 0;
};

} // namespace

TEST(Images, TwoEditorsShareOneDecodedBitmap)
{
    EditorTestPlugin plugin;
    CountingEditor first(&plugin, 100, 100, 0);
    CountingEditor second(&plugin, 100, 100, 0);
    first.SetModuleInstance(EditorResources());
    second.SetModuleInstance(EditorResources());

    const IBitmapStrip a = first.LoadBitmapStrip(kLedForSharing, "img/marrowgrit_led.png", 2);
    const IBitmapStrip b = second.LoadBitmapStrip(kLedForSharing, "img/marrowgrit_led.png", 2);
    EXPECT_EQ(first.decodes + second.decodes, 1);
    EXPECT_EQ(a.bitmap, b.bitmap);
    EXPECT_EQ(a.width, 18);
    EXPECT_EQ(a.height, 36);
    EXPECT_EQ(a.frames, 2);
    EXPECT_EQ(a.FrameHeight(), 18);
    // The same image under another frame count is the same bitmap too.
    EXPECT_EQ(first.LoadBitmapStrip(kLedForSharing, "img/marrowgrit_led.png", 1).bitmap, a.bitmap);
    EXPECT_TRUE(ImageCache::Instance().Holds(a.bitmap));
}

TEST(ImagesDeathTest, ImageThatDoesNotDecodeStopsTheProcess)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    IEditorWindow editor(nullptr, 10, 10, 0);
    editor.SetModuleInstance(EditorResources());
    EXPECT_DEATH(editor.LoadBitmapStrip(kNotAnImage, "img/not-an-image.png", 1), "imgResourceFound");
    EXPECT_DEATH(editor.LoadBitmapStrip(7199, "img/missing.png", 1), "imgResourceFound");
}

TEST(Images, BackgroundGoesUnderEverythingAndShiftsIndices)
{
    EditorTestPlugin plugin;
    IEditorWindow editor(&plugin, 18, 18, 0);
    editor.SetModuleInstance(EditorResources());
    editor.CreateDrawSurface();
    auto* probe = new ProbeControl(&plugin, IRectangle(0, 0, 5, 5), 0);
    EXPECT_EQ(editor.AttachControl(probe), 0);

    editor.AttachBackgroundImage(kLedForBackground, "img/marrowgrit_led.png");
    ASSERT_EQ(editor.ControlCount(), 2);
    EXPECT_EQ(editor.ControlAt(1), probe);
    IControl* background = editor.ControlAt(0);
    EXPECT_EQ(background->DrawRect(), IRectangle(0, 0, 18, 36));
    EXPECT_EQ(background->ParameterIndex(), -1);
    EXPECT_EQ(background->Blend().method, IBlendSpec::kOverwrite);
    EXPECT_EQ(background->Graphics(), &editor);

    // Overwrite copies the image as it is, alpha included.
    editor.SetControlValueFromPlugin(1, 0.5); // reaches the probe, now index 1
    EXPECT_EQ(probe->Value(), 0.5);
    editor.RedrawTick();
    const IBitmapStrip led = editor.LoadBitmapStrip(kLedForBackground, "img/marrowgrit_led.png", 1);
    for (int y = 0; y < 18; y += 5)
        for (int x = 0; x < 18; x += 5)
            EXPECT_EQ(PixelAt(editor.PresentedSurface(), x, y), PixelAt(*led.bitmap, x, y)) << x << "," << y;
}

TEST(Images, KeptBitmapsAreDroppedOnRequest)
{
    IEditorWindow editor(nullptr, 10, 10, 0);
    auto* bitmap = new IMemoryBitmap(2, 2);
    const int before = ImageCache::Instance().Count();
    editor.KeepBitmap(bitmap);
    EXPECT_EQ(ImageCache::Instance().Count(), before + 1);
    EXPECT_TRUE(ImageCache::Instance().Holds(bitmap));
    editor.DropBitmap(bitmap);
    EXPECT_EQ(ImageCache::Instance().Count(), before);
    IMemoryBitmap stranger(1, 1);
    editor.DropBitmap(&stranger); // not held: nothing happens
    EXPECT_EQ(ImageCache::Instance().Count(), before);
}

TEST(Images, PrimitivesWriteReadAndCrop)
{
    IEditorWindow editor(nullptr, 20, 20, 0);
    editor.CreateDrawSurface();
    editor.AttachControl(new IBitmapControl(nullptr, 0, 0, -1, SolidStrip(editor, 20, 20, {0xFF000000u}),
                                            IBlendSpec::kOverwrite));
    editor.RedrawTick(); // black everywhere, clip = the whole editor

    EXPECT_TRUE(editor.SetPixelRaw(IColourARGB{255, 1, 2, 3}, 4, 5));
    EXPECT_FALSE(editor.SetPixelRaw(IColourARGB{}, 20, 5));
    EXPECT_EQ(editor.ReadPixel(4, 5), (IColourARGB{255, 1, 2, 3}));
    EXPECT_EQ(editor.ReadPixel(-1, 5), (IColourARGB{0, 0, 0, 0}));

    const IBlendSpec overwrite{IBlendSpec::kOverwrite, 1.0f};
    editor.FillRectangle(IColourARGB{255, 200, 0, 0}, IRectangle(10, 10, 30, 30), &overwrite);
    EXPECT_EQ(editor.ReadPixel(19, 19), (IColourARGB{255, 200, 0, 0}));
    EXPECT_EQ(editor.ReadPixel(9, 19), (IColourARGB{255, 0, 0, 0}));
    // Half-transparent white over black.
    editor.FillRectangle(IColourARGB{128, 255, 255, 255}, IRectangle(0, 0, 2, 2), nullptr);
    EXPECT_GT(editor.ReadPixel(0, 0).red, 120);
    EXPECT_LT(editor.ReadPixel(0, 0).red, 136);

    std::unique_ptr<IMemoryBitmap> crop = editor.CroppedCopy(*editor.DrawSurface(), IRectangle(15, 15, 40, 40));
    ASSERT_NE(crop, nullptr);
    EXPECT_EQ(crop->Width(), 5);
    EXPECT_EQ(PixelAt(*crop, 0, 0), (IColourARGB{255, 200, 0, 0}.Pixel()));
    EXPECT_EQ(editor.CroppedCopy(*editor.DrawSurface(), IRectangle(30, 30, 40, 40)), nullptr);
}
