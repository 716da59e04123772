#pragma once

#include "ui/UProjectFiles_S.h"

// The project files as the window opens and saves them, in the command line's option names and
// through its parser, so that the window and `tavrin --project` build a sheet alike.
NS_Wnd::UProjectFiles_S MakeWindowProjectFiles();
