// Moving objects and the user's own model. Their motion and drawing rules are not part of
// the program yet: objects stand at their start positions and nothing of them is drawn.
#include "render/objects.h"

void MoveObjects(int) {}
void DrawObjects(int) {}
void DrawAvatar() {}
