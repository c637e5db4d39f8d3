// The moving objects' own motion: speed, scripted turns, evasion of their points.
#pragma once

// Advances object i by one frame.
void MoveObjects(int i);
