// The view volume test.
#include "render/cull.h"

#include <cmath>

#include "platform/win32.h"
#include "render/occlusion_margins.h"

bool viewCulling = true;

namespace {

// How far outside a plane something must lie, relative to the sizes summed on the way (the
// absolute values of every product, through the projection, the modelview and any placement
// composed here, so it holds however OpenGL's float products round or cancel): a thousand
// times the rounding of float arithmetic, far below a pixel. The drift of the matrix in force
// from the one read is allowed for on top (AddDrift).
constexpr double kMargin = 1e-4;

// Plane k of six: 0..2 are w + row k >= 0 (left, bottom, near), 3..5 are w - row k-3 >= 0
// (right, top, far).
int Axis(int k) { return k % 3; }
double Sign(int k) { return k < 3 ? 1.0 : -1.0; }

}  // namespace

void ViewVolume::Read() {
  double p[16] = {}, mv[16] = {};
  glGetDoublev(GL_PROJECTION_MATRIX, p);
  glGetDoublev(GL_MODELVIEW_MATRIX, mv);
  bool finite = true, any = false;
  for (int c = 0; c < 4; ++c)
    for (int r = 0; r < 4; ++r) {
      double sum = 0, size = 0;
      for (int k = 0; k < 4; ++k) {
        sum += p[r + 4 * k] * mv[k + 4 * c];
        size += std::fabs(p[r + 4 * k]) * std::fabs(mv[k + 4 * c]);
      }
      m_[r + 4 * c] = sum;
      a_[r + 4 * c] = size;
      d_[r + 4 * c] = 0;
      finite = finite && std::isfinite(size);
      any = any || sum != 0;
    }
  usable = finite && any;
}

void ViewVolume::Compose(const double g[16]) {
  double m[16], a[16], d[16];
  for (int c = 0; c < 4; ++c)
    for (int r = 0; r < 4; ++r) {
      double sum = 0, size = 0, drift = 0;
      for (int k = 0; k < 4; ++k) {
        const double factor = g[k + 4 * c];
        sum += Row(r, k) * factor;
        size += Abs(r, k) * std::fabs(factor);
        drift += Drift(r, k) * std::fabs(factor);
      }
      m[r + 4 * c] = sum;
      a[r + 4 * c] = size;
      d[r + 4 * c] = drift;
    }
  for (int i = 0; i < 16; ++i) {
    m_[i] = m[i];
    a_[i] = a[i];
    d_[i] = d[i];
    usable = usable && std::isfinite(a[i] + d[i]);
  }
}

void ViewVolume::Translate(double x, double y, double z) {
  const double g[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1};
  Compose(g);
}

// The rotation glRotatef builds for a unit axis.
void ViewVolume::Rotate(double degrees, double ax, double ay, double az) {
  const double radians = degrees * 3.14159265358979323846 / 180;
  const double c = std::cos(radians), s = std::sin(radians), t = 1 - c;
  const double g[16] = {t * ax * ax + c,
                        t * ax * ay + s * az,
                        t * ax * az - s * ay,
                        0,
                        t * ax * ay - s * az,
                        t * ay * ay + c,
                        t * ay * az + s * ax,
                        0,
                        t * ax * az + s * ay,
                        t * ay * az - s * ax,
                        t * az * az + c,
                        0,
                        0,
                        0,
                        0,
                        1};
  Compose(g);
}

// A float glRotatef or glTranslatef multiplies the matrix in force by its own: each new entry
// is a sum of four products, rounded to within about 4 float units (2^-24) of the products'
// absolute sum, and the factor's entries are themselves rounded. Counting 8 units an
// operation: a rotation mixes only the first three columns, whose entries' absolute sums are
// at most sqrt(3) times the row's first three sizes; a translation changes only the last
// column, by the first three columns times the translation plus the last column, which under
// the placements and offsets applied is at most the row's last size plus its first three
// times reach. Drift of second order (rounding of what had already drifted) is far below that.
void ViewVolume::AddDrift(int rotations, int translations, double reach) {
  for (int r = 0; r < 4; ++r) {
    const double turned = Abs(r, 0) + Abs(r, 1) + Abs(r, 2), moved = Abs(r, 3);
    for (int c = 0; c < 3; ++c) d_[r + 4 * c] += kDriftUnit * rotations * 2 * turned;
    d_[r + 12] += kDriftUnit * translations * (moved + turned * reach);
  }
  usable = usable && std::isfinite(d_[0] + d_[12] + d_[3] + d_[15]);
}

void ViewVolume::ErrorMatrix(double relative, double error[16]) const {
  for (int i = 0; i < 16; ++i) error[i] = relative * a_[i] + d_[i];
}

// Entry k is (-1)^(k+1) times the determinant of the rows x, y and w without column k; a
// product of three entries a b c, each off by up to its error, moves by at most
// (|a| + da)(|b| + db)(|c| + dc) - |a b c|.
void ViewVolume::Eye(double relative, double eye[4], double error[4]) const {
  double e[16];
  ErrorMatrix(relative, e);
  const int rows[3] = {0, 1, 3};
  for (int k = 0; k < 4; ++k) {
    int c[3], n = 0;
    for (int j = 0; j < 4; ++j)
      if (j != k) c[n++] = j;
    double det = 0, doubt = 0;
    const int orders[6][3] = {{0, 1, 2}, {1, 2, 0}, {2, 0, 1}, {0, 2, 1}, {2, 1, 0}, {1, 0, 2}};
    for (int o = 0; o < 6; ++o) {
      const int* p = orders[o];
      double value[3], size[3], off[3];
      for (int r = 0; r < 3; ++r) {
        value[r] = Row(rows[r], c[p[r]]);
        size[r] = std::fabs(value[r]);
        off[r] = e[rows[r] + 4 * c[p[r]]];
      }
      det += (o < 3 ? 1 : -1) * value[0] * value[1] * value[2];
      doubt += (size[0] + off[0]) * (size[1] + off[1]) * (size[2] + off[2]) -
               size[0] * size[1] * size[2];
    }
    eye[k] = (k % 2 == 0 ? -1 : 1) * det;
    error[k] = doubt + kEyeRounding * std::fabs(det);
  }
}

bool ViewVolume::PointsOutside(const double* points, int count) const {
  if (!usable || !viewCulling || count <= 0) return false;
  unsigned outside = 0x3f;  // the planes every point so far lies outside of
  for (int i = 0; i < count && outside != 0; ++i) {
    const double v[4] = {points[3 * i], points[3 * i + 1], points[3 * i + 2], 1};
    double clip[4], size[4], drift[4];
    for (int r = 0; r < 4; ++r) {
      clip[r] = size[r] = drift[r] = 0;
      for (int c = 0; c < 4; ++c) {
        clip[r] += Row(r, c) * v[c];
        size[r] += Abs(r, c) * std::fabs(v[c]);
        drift[r] += Drift(r, c) * std::fabs(v[c]);
      }
    }
    if (!std::isfinite(size[0] + size[1] + size[2] + size[3])) return false;
    for (int k = 0; k < 6; ++k) {
      const int a = Axis(k);
      const double value = clip[3] + Sign(k) * clip[a];
      const double margin = kMargin * (size[3] + size[a]) + drift[3] + drift[a];
      if (!(value < -margin)) outside &= ~(1u << k);
    }
  }
  return outside != 0;
}

bool ViewVolume::BoxOutside(const double lo[3], const double hi[3]) const {
  double corners[24];
  for (int i = 0; i < 8; ++i) {
    corners[3 * i] = i & 1 ? hi[0] : lo[0];
    corners[3 * i + 1] = i & 2 ? hi[1] : lo[1];
    corners[3 * i + 2] = i & 4 ? hi[2] : lo[2];
  }
  return PointsOutside(corners, 8);
}

// The plane's value at the centre less the radius times the length of its normal.
bool ViewVolume::SphereOutside(double x, double y, double z, double radius) const {
  if (!usable || !viewCulling) return false;
  const double v[4] = {x, y, z, 1};
  for (int k = 0; k < 6; ++k) {
    const int a = Axis(k);
    double value = 0, size = 0, normal = 0, normalSize = 0, drift = 0, normalDrift = 0;
    for (int c = 0; c < 4; ++c) {
      const double coefficient = Row(3, c) + Sign(k) * Row(a, c);
      value += coefficient * v[c];
      size += (Abs(3, c) + Abs(a, c)) * std::fabs(v[c]);
      drift += (Drift(3, c) + Drift(a, c)) * std::fabs(v[c]);
      if (c < 3) {
        normal += coefficient * coefficient;
        normalSize += Abs(3, c) + Abs(a, c);
        normalDrift += Drift(3, c) + Drift(a, c);
      }
    }
    const double reach = radius * std::sqrt(normal);
    const double margin = kMargin * (size + radius * normalSize) + drift + radius * normalDrift;
    if (value + reach < -margin) return true;
  }
  return false;
}
