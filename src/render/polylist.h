// The two static scene lists, and whether polygon lists are recorded into display lists.
#pragma once

// Whether the polygon lists are recorded once into OpenGL display lists: the plain and static
// lists (when the distance test is off), each object's and the avatar's. On by default;
// citywalk-replay --immediate turns it off to compare.
// A run option of the process: ResetProgramState leaves it alone.
extern bool recordStaticLists;

// Whether everything is drawn vertex by vertex and nothing is left out, as the program's rules
// are written (citywalk-replay --immediate --no-culling): the picture every other way of
// drawing gives to the bit.
bool DrawingAsWritten();
// Records the plain and the static list into display lists, once the textures are built, so
// that each frame replays them instead of sending every vertex again. Nothing is recorded
// while the distance test is on (what it draws depends on the eye), without a rendering
// context, or with recordStaticLists off.
void RecordStaticLists();
// How many runs of the recorded plain and static lists their last replays left out of view.
int RunsLeftOut();
// Nothing bound, nothing recorded, no hider laid.
void ResetDrawing();
// The plain and static lists are cut into runs of consecutive polygons, each recorded with its
// bounding box; a replay sends only the runs in view, and for those left out the state they
// would leave (colour, texture coordinates, texture enabling, the texture bound and the
// binding cache). Walked vertex by vertex, each polygon out of view is left out so.
// Draws the plain list (coloured, untextured polygons).
void DrawPlainList();
// Draws the static list, plain and textured polygons, with the optional distance test.
void DrawStaticList();
