// Sending only what can be seen: the view volume of the matrices in force, and tests of
// boxes, spheres and polygons against it. Something is left out only when all of it lies
// outside one plane of the volume (near plane, far plane, four sides) by a margin far above
// the rounding of the float matrices, so it could not have produced a pixel.
#pragma once

// Whether what cannot be seen is left out. On by default; citywalk-replay --no-culling turns
// it off to compare. A run option of the process: ResetProgramState leaves it alone.
extern bool viewCulling;

// The projection times the modelview matrix in force when Read was called, possibly with a
// model's placement composed onto it on the processor (Translate, Rotate), so that a model's
// test needs no read of OpenGL's matrices (a read makes Mesa send the vertices queued so far,
// which is dear between immediate drawing).
class ViewVolume {
 public:
  // Reads both matrices from OpenGL. Without a context, or with a matrix that is not finite,
  // nothing is ever outside.
  void Read();
  // Composes glTranslatef(x, y, z) and glRotatef(degrees, ax, ay, az) (a unit axis) onto the
  // volume as OpenGL does, in double.
  void Translate(double x, double y, double z);
  void Rotate(double degrees, double ax, double ay, double az);
  // Allows for the matrix in force having drifted from the one read through float round trips
  // (a transform followed by its inverse) made since: that many glRotatef and glTranslatef
  // calls, none translating by more than reach in all (the translation's coordinates and the
  // offset already applied under it, summed). Call before composing a placement.
  void AddDrift(int rotations, int translations, double reach);
  // The matrix, and the matrix bounding how far OpenGL's clip coordinates may lie from those
  // it gives: relative times the sizes, plus the drift allowed (both column-major).
  const double* Matrix() const { return m_; }
  void ErrorMatrix(double relative, double error[16]) const;
  // The centre of projection, homogeneous (the point whose clip x, y and w are 0), scaled so
  // that any three points of a plane (unit normal n, offset d) forming a triangle of area A
  // have clip x, y, w of determinant +-2A (n, d) . eye; and how far that of the matrix in
  // force may lie from it, each entry (the matrix off by ErrorMatrix(relative)).
  void Eye(double relative, double eye[4], double error[4]) const;
  // Whether two volumes hold the same matrix and allowances.
  bool operator==(const ViewVolume&) const = default;
  // Whether every point p satisfies one plane's outside test: points is x, y, z triples.
  bool PointsOutside(const double* points, int count) const;
  // Whether the axis-aligned box lies wholly outside.
  bool BoxOutside(const double lo[3], const double hi[3]) const;
  // Whether the sphere lies wholly outside.
  bool SphereOutside(double x, double y, double z, double radius) const;
  bool usable = false;

 private:
  // All three column-major, as OpenGL keeps a matrix: the matrix, the same product taken
  // with absolute values (what the float rounding of the product and of the vertex transform
  // is relative to), and a bound on how far the matrix in force may have drifted from it.
  double m_[16] = {}, a_[16] = {}, d_[16] = {};
  double Row(int r, int c) const { return m_[r + 4 * c]; }
  double Abs(int r, int c) const { return a_[r + 4 * c]; }
  double Drift(int r, int c) const { return d_[r + 4 * c]; }
  // Multiplies all three on the right by g (column-major).
  void Compose(const double g[16]);
};
