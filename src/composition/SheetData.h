#pragma once

// The data file's entry points moved to composition/data/SheetData.h; this name stays until
// the compose job includes that one.
#include "composition/data/SheetData.h"
