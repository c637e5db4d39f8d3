// Recording GL/GLU stand-in: see recorder.h.
#include "gl/recorder.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <map>

#include "common/numbers.h"

namespace {

std::vector<std::string> calls;
GLuint nextTexture = 1;
// Display lists: the calls recorded into each, and the one being recorded (0: none).
std::map<GLuint, std::vector<std::string>> lists;
GLuint nextList = 1, compiling = 0;
double projectionMatrix[16], modelviewMatrix[16];

std::string Num(double v) { return DoubleText(v); }
std::string Num(float v) { return FloatText(v); }
std::string Num(int v) { return std::to_string(v); }
std::string Num(unsigned v) { return std::to_string(v); }

std::string Enum(GLenum e) {
  switch (e) {
    case GL_POLYGON:
      return "POLYGON";
    case GL_TEXTURE_2D:
      return "TEXTURE_2D";
    case GL_DEPTH_TEST:
      return "DEPTH_TEST";
    case GL_COLOR_MATERIAL:
      return "COLOR_MATERIAL";
    case GL_LIGHTING:
      return "LIGHTING";
    case GL_LIGHT0:
      return "LIGHT0";
    case GL_LIGHT1:
      return "LIGHT1";
    case GL_SMOOTH:
      return "SMOOTH";
    case GL_FLAT:
      return "FLAT";
    case GL_FRONT_AND_BACK:
      return "FRONT_AND_BACK";
    case GL_AMBIENT:
      return "AMBIENT";
    case GL_DIFFUSE:
      return "DIFFUSE";
    case GL_SPECULAR:
      return "SPECULAR";
    case GL_EMISSION:
      return "EMISSION";
    case GL_SHININESS:
      return "SHININESS";
    case GL_POSITION:
      return "POSITION";
    case GL_CONSTANT_ATTENUATION:
      return "CONSTANT_ATTENUATION";
    case GL_LINEAR_ATTENUATION:
      return "LINEAR_ATTENUATION";
    case GL_QUADRATIC_ATTENUATION:
      return "QUADRATIC_ATTENUATION";
    case GL_FILL:
      return "FILL";
    case GL_MODELVIEW:
      return "MODELVIEW";
    case GL_PROJECTION:
      return "PROJECTION";
    case GL_UNPACK_ALIGNMENT:
      return "UNPACK_ALIGNMENT";
    case GL_TEXTURE_MIN_FILTER:
      return "MIN_FILTER";
    case GL_TEXTURE_MAG_FILTER:
      return "MAG_FILTER";
    case GL_NEAREST:
      return "NEAREST";
    case GL_LINEAR:
      return "LINEAR";
    case GL_RGB:
      return "RGB";
    case GL_UNSIGNED_BYTE:
      return "UNSIGNED_BYTE";
    case GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT:
      return "COLOR|DEPTH";
    default:
      return "0x" + std::to_string(e);
  }
}

template <typename... Args>
void Record(const char* name, const Args&... args) {
  std::string text = name;
  text += '(';
  bool first = true;
  ((text += (first ? "" : ","), text += args, first = false), ...);
  text += ')';
  (compiling != 0 ? lists[compiling] : calls).push_back(std::move(text));
}

std::string Vec4(const GLfloat* v) {
  return Num(v[0]) + "," + Num(v[1]) + "," + Num(v[2]) + "," + Num(v[3]);
}

}  // namespace

namespace recorder {
const std::vector<std::string>& Calls() { return calls; }
void Clear() {
  calls.clear();
  nextTexture = 1;
}
std::vector<std::string> CallsStartingWith(std::initializer_list<const char*> prefixes) {
  std::vector<std::string> out;
  for (const auto& c : calls)
    for (const char* p : prefixes)
      if (c.rfind(p, 0) == 0) {
        out.push_back(c);
        break;
      }
  return out;
}
DrawState StateLeft() {
  DrawState state;
  for (const auto& c : calls) {
    if (c.rfind("glColor3d", 0) == 0) state.colour = c;
    if (c.rfind("glTexCoord2d", 0) == 0) state.texCoord = c;
    if (c == "glEnable(TEXTURE_2D)" || c == "glDisable(TEXTURE_2D)") state.texturing = c;
    if (c.rfind("glBindTexture", 0) == 0) state.binding = c;
  }
  return state;
}
std::vector<std::string> Drawing() {
  std::vector<std::string> out;
  std::string colour = "none", texCoord = "none", binding = "none";
  bool texturing = false;
  const auto args = [](const std::string& c) { return c.substr(c.find('(')); };
  for (const auto& c : calls) {
    if (c.rfind("glColor3d", 0) == 0) colour = args(c);
    if (c.rfind("glTexCoord2d", 0) == 0) texCoord = args(c);
    if (c.rfind("glBindTexture", 0) == 0) binding = args(c);
    if (c == "glEnable(TEXTURE_2D)") texturing = true;
    if (c == "glDisable(TEXTURE_2D)") texturing = false;
    if (c.rfind("glVertex3d", 0) == 0)
      out.push_back("vertex " + args(c) + " colour " + colour +
                    (texturing ? " texture " + binding + " at " + texCoord : ""));
    if (c.rfind("glTranslatef", 0) == 0 || c.rfind("glRotatef", 0) == 0)
      out.push_back(c + " after colour " + colour + " at " + texCoord + " texturing " +
                    (texturing ? "on" : "off") + " texture " + binding);
  }
  return out;
}
void SetMatrices(const double (&projection)[16], const double (&modelview)[16]) {
  std::copy(projection, projection + 16, projectionMatrix);
  std::copy(modelview, modelview + 16, modelviewMatrix);
}
int Count(const char* prefix) {
  int n = 0;
  for (const auto& c : calls) n += c.rfind(prefix, 0) == 0;
  return n;
}
}  // namespace recorder

extern "C" {

const GLubyte* APIENTRY glGetString(GLenum) { return reinterpret_cast<const GLubyte*>("recorder"); }
void APIENTRY glGetDoublev(GLenum name, GLdouble* values) {
  const double* from = name == GL_PROJECTION_MATRIX  ? projectionMatrix
                       : name == GL_MODELVIEW_MATRIX ? modelviewMatrix
                                                     : nullptr;
  if (from) std::copy(from, from + 16, values);
}
// No depth buffer: nothing is ever found hidden behind the scenery.
void APIENTRY glGetIntegerv(GLenum, GLint* values) { values[0] = 0; }
void APIENTRY glGetBooleanv(GLenum, GLboolean* values) { values[0] = GL_FALSE; }
GLboolean APIENTRY glIsEnabled(GLenum) { return GL_FALSE; }
void APIENTRY glBegin(GLenum mode) { Record("glBegin", Enum(mode)); }
void APIENTRY glEnd() { Record("glEnd"); }
void APIENTRY glVertex3d(GLdouble x, GLdouble y, GLdouble z) {
  Record("glVertex3d", Num(x), Num(y), Num(z));
}
void APIENTRY glColor3d(GLdouble r, GLdouble g, GLdouble b) {
  Record("glColor3d", Num(r), Num(g), Num(b));
}
void APIENTRY glTexCoord2d(GLdouble s, GLdouble t) { Record("glTexCoord2d", Num(s), Num(t)); }
void APIENTRY glEnable(GLenum cap) { Record("glEnable", Enum(cap)); }
void APIENTRY glDisable(GLenum cap) { Record("glDisable", Enum(cap)); }
void APIENTRY glBindTexture(GLenum target, GLuint id) {
  Record("glBindTexture", Enum(target), Num(id));
}
void APIENTRY glGenTextures(GLsizei n, GLuint* ids) {
  for (GLsizei i = 0; i < n; ++i) ids[i] = nextTexture++;
  Record("glGenTextures", Num(n));
}
void APIENTRY glPixelStorei(GLenum name, GLint value) {
  Record("glPixelStorei", Enum(name), Num(value));
}
void APIENTRY glTexParameteri(GLenum target, GLenum name, GLint value) {
  Record("glTexParameteri", Enum(target), Enum(name), Enum(static_cast<GLenum>(value)));
}
GLint APIENTRY gluBuild2DMipmaps(GLenum target, GLint components, GLsizei width, GLsizei height,
                                 GLenum format, GLenum type, const void*) {
  Record("gluBuild2DMipmaps", Enum(target), Num(components), Num(width), Num(height), Enum(format),
         Enum(type));
  return 0;
}
void APIENTRY glClear(GLbitfield mask) { Record("glClear", Enum(mask)); }
void APIENTRY glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) {
  Record("glClearColor", Num(r), Num(g), Num(b), Num(a));
}
void APIENTRY glFlush() { Record("glFlush"); }
void APIENTRY glShadeModel(GLenum mode) { Record("glShadeModel", Enum(mode)); }
void APIENTRY glMaterialfv(GLenum face, GLenum name, const GLfloat* v) {
  Record("glMaterialfv", Enum(face), Enum(name), name == GL_SHININESS ? Num(v[0]) : Vec4(v));
}
void APIENTRY glMaterialf(GLenum face, GLenum name, GLfloat v) {
  Record("glMaterialf", Enum(face), Enum(name), Num(v));
}
void APIENTRY glLightfv(GLenum light, GLenum name, const GLfloat* v) {
  Record("glLightfv", Enum(light), Enum(name), Vec4(v));
}
void APIENTRY glLightf(GLenum light, GLenum name, GLfloat v) {
  Record("glLightf", Enum(light), Enum(name), Num(v));
}
void APIENTRY glPolygonMode(GLenum face, GLenum mode) {
  Record("glPolygonMode", Enum(face), Enum(mode));
}
void APIENTRY glViewport(GLint x, GLint y, GLsizei w, GLsizei h) {
  Record("glViewport", Num(x), Num(y), Num(w), Num(h));
}
void APIENTRY glMatrixMode(GLenum mode) { Record("glMatrixMode", Enum(mode)); }
void APIENTRY glLoadIdentity() { Record("glLoadIdentity"); }
void APIENTRY gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
  Record("gluPerspective", Num(fovy), Num(aspect), Num(zNear), Num(zFar));
}
void APIENTRY gluLookAt(GLdouble ex, GLdouble ey, GLdouble ez, GLdouble cx, GLdouble cy,
                        GLdouble cz, GLdouble ux, GLdouble uy, GLdouble uz) {
  Record("gluLookAt", Num(ex), Num(ey), Num(ez), Num(cx), Num(cy), Num(cz), Num(ux), Num(uy),
         Num(uz));
}
void APIENTRY glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
  Record("glTranslatef", Num(x), Num(y), Num(z));
}
GLuint APIENTRY glGenLists(GLsizei range) {
  const GLuint first = nextList;
  nextList += static_cast<GLuint>(range);
  return first;
}
void APIENTRY glNewList(GLuint list, GLenum) {
  lists[list].clear();
  compiling = list;
}
void APIENTRY glEndList() { compiling = 0; }
void APIENTRY glCallList(GLuint list) {
  const auto found = lists.find(list);
  if (found != lists.end()) calls.insert(calls.end(), found->second.begin(), found->second.end());
}
void APIENTRY glDeleteLists(GLuint list, GLsizei range) {
  for (GLsizei k = 0; k < range; ++k) lists.erase(list + static_cast<GLuint>(k));
}
void APIENTRY glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
  Record("glRotatef", Num(angle), Num(x), Num(y), Num(z));
}

}  // extern "C"
