#pragma once
// The window part for builds without a window system (tools, tests, and
// Linux builds without the X11 libraries). There is never a window, so the
// host is told there is no editor to show; everything else is the offscreen
// editor's: drawing, the presented surface, the recorded value prompt.
#include "editor/headless/IOffscreenEditor.h"

namespace mg {

class IEditorWindow : public IOffscreenEditor {
public:
    using IOffscreenEditor::IOffscreenEditor;
};

} // namespace mg
