// Win32 subset over SDL2 (to be written).
#include "platform/win32.h"
