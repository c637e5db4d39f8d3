// Moving object motion. Not part of the program yet: objects stand at their start positions.
#include "motion/objects.h"

void MoveObjects(int) {}
