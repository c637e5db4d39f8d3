// Native Windows build: the C runtime calls WinMain (app/shell.cpp) directly; this unit only
// gives the executable a source of its own.
#include "platform/win32.h"
