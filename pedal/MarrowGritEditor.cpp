// The pedal's editor: a 213 x 326 picture of the enclosure with its LED,
// cabinet switch, footswitch, two knobs, the about panel and the size menu.
#include "MarrowGrit.h"
#include "PluginModule.h"
#include "StompSwitch.h"
#include "editor/IBitmapControl.h"
#include "editor/IBitmapOverlayControl.h"
#include "editor/IEditorWindow.h"
#include "editor/IHiddenToggleControl.h"
#include "editor/IKnobControl.h"
#include "editor/ISwitchControl.h"
#include "editor/ScaleChoice.h"
#include "platform/UserFolders.h"

namespace mg {

namespace {

enum Image { kFootswitchImage = 100, kKnobImage, kBackgroundImage, kAboutImage, kLedImage, kCabinetImage };

constexpr int kEditorWidth = 213;
constexpr int kEditorHeight = 326;
constexpr double kKnobGearing = 4.0;
// Clicking the maker's badge on the enclosure shows the about panel.
constexpr IRectangle kAboutHotspot{10, 35, 80, 55};

} // namespace

std::filesystem::path EditorSettingsFile()
{
    const std::filesystem::path folder = platform::UserConfigFolder();
    return folder.empty() ? folder : folder / "marrow-grit" / "settings";
}

void MarrowGrit::BuildEditor()
{
    auto* graphics = new IEditorWindow(this, kEditorWidth, kEditorHeight, 0);
    graphics->SetModuleInstance(PluginModule());
    // The size the user picked in any host opens every new editor.
    const std::filesystem::path settings = EditorSettingsFile();
    graphics->SetScaleChoiceFile(settings);
    graphics->SetUserScale(ReadScaleChoice(settings));

    graphics->AttachBackgroundImage(kBackgroundImage, "img/background.png");

    const IBitmapStrip led = graphics->LoadBitmapStrip(kLedImage, "img/marrowgrit_led.png", 2);
    ledControlIndex = graphics->AttachControl(new IBitmapControl(this, 91, 15, -1, led));

    const IBitmapStrip cabinet = graphics->LoadBitmapStrip(kCabinetImage, "img/marrowgrit_switch_01.png", 2);
    graphics->AttachControl(new ISwitchControl(this, 80, 61, kCabinet, cabinet));

    // The footswitch drives Effect through this control, which the user never sees.
    auto* effectToggle = new IHiddenToggleControl(this, IRectangle(80, 172, 110, 202), kEffect);
    graphics->AttachControl(effectToggle);
    graphics->HideControlsOfParameter(kEffect, true);

    const IBitmapStrip footswitch = graphics->LoadBitmapStrip(kFootswitchImage, "img/marrowgrit_switch_02.png", 2);
    stompSwitch = std::make_unique<StompSwitch>(this, *graphics, footswitch, *effectToggle);

    const IBitmapStrip knob = graphics->LoadBitmapStrip(kKnobImage, "img/marrowgrit_knob_01.png", 65);
    graphics->AttachControl(new IKnobMultiControl(this, 18, 86, kLevel, knob, IKnobControl::kVertical, kKnobGearing));
    graphics->AttachControl(new IKnobMultiControl(this, 115, 86, kAttack, knob, IKnobControl::kVertical, kKnobGearing));

    const IBitmapStrip about = graphics->LoadBitmapStrip(kAboutImage, "img/marrowgrit_about.png", 1);
    graphics->AttachControl(new IBitmapOverlayControl(this, 5, 156, -1, about, kAboutHotspot));

    // Right-click on the enclosure: the editor's size.
    graphics->AttachScaleMenu();

    AttachEditorGraphics(graphics);
}

} // namespace mg
