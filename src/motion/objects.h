// The moving objects' own motion: speed, scripted turns, evasion of their points.
#pragma once

// No object takes more evasive probes than this in one frame (a search whose carried swerve
// has grown too large to change would never end).
inline constexpr int kMaxObjectProbes = 1000;

// The largest swerve an evading object carries into its next frame. An object held between
// one and two clearances from its own point has every turned step refused, and its swerve
// grows 2.5 times a frame; unbounded it would reach infinity and leave the object at NaN.
inline constexpr double kMaxObjectSwerve = 1e6;

// Advances object i by one frame: frozen when far from the viewer, else it speeds up, turns
// by its clock, and steps, steering around what blocks it.
void MoveObjects(int i);
