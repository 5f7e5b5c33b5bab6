#pragma once
// Every control class, for code that builds an editor.
#include "editor/IBitmapControl.h"
#include "editor/IBitmapOverlayControl.h"
#include "editor/IContactControl.h"
#include "editor/IControl.h"
#include "editor/IHiddenToggleControl.h"
#include "editor/IKnobControl.h"
#include "editor/ISwitchControl.h"
