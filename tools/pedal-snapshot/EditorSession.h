#pragma once
// A pedal with its editor, driven without a window: the host side through
// the plug-in's descriptor, the user's side as mouse events and redraw ticks
// on the headless editor. Scripts are lines of words:
//
//   open                        the host opens the plug-in (the LED lights)
//   show                        the editor window appears: everything is drawn once
//   tick [N]                    N redraw ticks of the editor's timer (default 1)
//   press X Y [mods]            mouse button down at X, Y
//   release X Y [mods]          mouse button up
//   drag X Y [mods]             pointer moved with the button held
//   dblclick X Y [mods]         double click
//   wheel X Y NOTCHES [mods]    wheel turned by NOTCHES (negative: towards the user)
//   click X Y [mods]            press, tick, release, tick
//   param NAME|INDEX VALUE      the host sets a parameter (normalised 0..1)
//   program N                   the host selects program N
//   scale PERCENT               the host says its display's scale (VST 2.4's
//                               'PreS'/'AeCs' message); events stay logical
//
// mods are any of: right shift control alt (the left button is implied
// unless `right` is given). Blank lines and lines starting with # are skipped.
#include <memory>
#include <string>

#include "MarrowGrit.h"
#include "editor/IEditorWindow.h"

namespace mg::snapshot {

class EditorSession {
public:
    EditorSession();
    ~EditorSession();
    EditorSession(const EditorSession&) = delete;
    EditorSession& operator=(const EditorSession&) = delete;

    // Runs one line; false with a message for a line it does not understand.
    bool Run(const std::string& line, std::string& error);
    bool RunScript(const std::string& text, std::string& error);

    // Redraws the whole editor and returns what the window would show.
    const IBitmap& Picture();

    MarrowGrit& Plugin() { return *plugin_; }
    IEditorWindow& Editor() { return *editor_; }
    vst::AEffect* Effect() { return effect_; }
    float Parameter(int index) { return effect_->getParameter(effect_, index); }

private:
    vst::AEffect* effect_;
    MarrowGrit* plugin_;
    IEditorWindow* editor_;
};

} // namespace mg::snapshot
