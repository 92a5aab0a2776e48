// What the tool window and its pages share with the main window: the
// messages they post and the tool window's controls.
#pragma once

#include "app/MainWindowMessages.h"
#include "workflow/toolwnd/ToolControls.h" // the controls that send them
