#pragma once
// The editor as the plug-in builds it: IGraphics together with the window
// part of the platform this library is built for. Code that makes an editor
// creates an IEditorWindow and hands it the module that holds its images.
#if defined(MG_EDITOR_WIN32)
#  include "editor/win32/IEditorWindow.h"
#elif defined(MG_EDITOR_X11)
#  include "editor/x11/IEditorWindow.h"
#else
#  include "editor/headless/IEditorWindow.h"
#endif
