// Native Windows build: the C runtime calls WinMain (app/shell.cpp), which the link takes
// from the program library (-Wl,--undefined=WinMain). This unit only gives the executable a
// source of its own.
#include "platform/win32.h"
