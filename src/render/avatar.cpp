// The user's own model. Not part of the program yet: nothing of it is drawn.
#include "render/avatar.h"

void DrawAvatar() {}
