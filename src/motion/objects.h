// The moving objects' own motion: speed, scripted turns, evasion of their points.
#pragma once

// No object takes more evasive probes than this in one frame (a search whose carried swerve
// has grown too large to change would never end).
inline constexpr int kMaxObjectProbes = 1000;

// Advances object i by one frame: frozen when far from the viewer, else it speeds up, turns
// by its clock, and steps, steering around what blocks it.
void MoveObjects(int i);
