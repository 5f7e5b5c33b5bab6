#pragma once
// Input as every window backend reports it to the editor window: the mouse,
// the keys, the platform's paint, timer and close requests, and what the
// user does in the value box. Backends translate their native events into
// these and leave every decision about them to IEditorWindow.
#include <cstdint>

#include "editor/IMouseModifiers.h"
#include "editor/IRectangle.h"

namespace mg {

enum class WindowEventKind {
    Press,       // a mouse button went down (button, time for double clicks)
    Release,     // a mouse button went up
    DoubleClick, // the platform's own double click of the left button
    Motion,      // the pointer moved
    Wheel,       // value: whole notches, positive away from the user
    Key,         // value: key code of editor/KeyCodes.h, -1 for a key the editor drops
    Leave,       // the pointer left the window
    CaptureLost, // the platform took the pointer capture away
    Paint,       // area: what the platform wants painted (value 0: nothing)
    Tick,        // the platform's redraw timer
    Close,       // the platform asks the window to close
    BoxFocus,    // the value box got the keyboard
    BoxBlur,     // the value box lost it
    BoxCommit,   // Return, or a pick from the platform's own list
    BoxCancel,   // Escape
    BoxType,     // value: a character typed into the box
    BoxErase,    // the last character (or a fresh text) erased
    BoxPick,     // value: list row picked with the pointer
    BoxStep      // value: +1 or -1, a step through the list with the arrows
};

enum class MouseButton { None, Left, Right, Other };

struct WindowEvent {
    WindowEventKind kind = WindowEventKind::Motion;
    int x = 0; // editor pixels
    int y = 0;
    MouseButton button = MouseButton::None;
    IMouseModifiers modifiers{};
    int value = 0;
    std::uint32_t time = 0; // milliseconds, any origin (it may wrap)
    IRectangle area{};
};

// What the backend does with the event after the editor had it.
enum class EventReply {
    Default,   // what the platform does with an event nobody handled
    Done,      // nothing more
    TrackLeave // ask the platform to report when the pointer leaves
};

} // namespace mg
