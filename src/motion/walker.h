// Control mode 3: a walking figure watched from outside by the chase camera.
#pragma once

// One frame of the figure: heading smoothing, sideways step, turn, forward step.
void WalkerStep();
// Right before the figure is drawn: a figure that stands still with its heading caught up
// goes idle (motionKind), and the chase camera is placed.
void WalkerBeforeAvatar();
