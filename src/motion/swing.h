// The swing of the moving objects' and the avatar's parts: each part's angles travel between 0
// and their amplitude, a step a frame. A model's parts swing only in the frames it is drawn, at
// the point of its drawing where it is known to be (render/objects.cpp, render/avatar.cpp), so
// the drawing calls these; they move the angles and draw nothing.
#pragma once

// One swing step: the angle travels between 0 and swing by rate a frame, reversing (and
// keeping the reversed rate) at either end. A rate that is not a finite number (a row whose
// step count is 0) leaves the angle where it is.
void OscillateAngle(double& angle, double& rate, double swing);
// Swings object i's parts one step, in its current motion state: each part in turn, its x, y
// and z angles in that order.
void SwingObjectParts(int i);
// Swings the avatar's parts one step, in motion row m, as SwingObjectParts.
void SwingAvatarParts(int m);
