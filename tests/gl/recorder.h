// A recording stand-in for the GL and GLU entry points used by the drawing, texture, render
// state and camera code. Linked into the GL test program in place of the real ones; every
// call is appended to the log as text, numbers in their shortest exact form.
#pragma once

#include <string>
#include <vector>

namespace recorder {

// The calls recorded since the last Clear().
const std::vector<std::string>& Calls();
void Clear();
// Only the calls whose text starts with one of the prefixes.
std::vector<std::string> CallsStartingWith(std::initializer_list<const char*> prefixes);
// How many calls start with prefix.
int Count(const char* prefix);
// The drawing state the recorded calls leave: the last glColor3d, glTexCoord2d,
// glEnable/glDisable(TEXTURE_2D) and glBindTexture calls ("" where none was made).
struct DrawState {
  std::string colour, texCoord, texturing, binding;
  bool operator==(const DrawState&) const = default;
};
DrawState StateLeft();
// What the recorded calls draw, as OpenGL would see it: each vertex with the colour, and while
// GL_TEXTURE_2D is on the texture bound and the texture coordinates, in force; and each
// glTranslatef and glRotatef with the colour, texture coordinates, texturing and binding in
// force then ("none" where never set). Display lists are recorded as they are compiled
// (glGenLists, glNewList, glEndList; not in the log) and glCallList puts their calls in the log.
std::vector<std::string> Drawing();
// The projection and modelview matrices glGetDoublev answers (column-major), not recorded as
// calls; all zero until set (Clear leaves them), which no view volume can be read from.
void SetMatrices(const double (&projection)[16], const double (&modelview)[16]);

}  // namespace recorder

namespace recorder {

// A view down -z from the origin, 90 degrees each way, near plane 1, far plane 100 (as
// gluPerspective(90, 1, 1, 100) makes it), and the identity: column-major, for SetMatrices.
inline constexpr double kPerspective[16] = {1, 0, 0,           0,  0, 1, 0,           0,
                                            0, 0, -101.0 / 99, -1, 0, 0, -200.0 / 99, 0};
inline constexpr double kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
inline constexpr double kNoMatrix[16] = {};

}  // namespace recorder
