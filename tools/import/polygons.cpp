// Flatness and convexity tests, ear clipping, quad merging and simplification.
#include "polygons.h"

#include <meshoptimizer.h>

#include <algorithm>
#include <cmath>
#include <map>

namespace {

Vec3 Sub(const Vec3& a, const Vec3& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
Vec3 Cross(const Vec3& a, const Vec3& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
double Dot(const Vec3& a, const Vec3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
double Length(const Vec3& a) { return std::sqrt(Dot(a, a)); }

// The polygon's normal by Newell's method (not normalised).
Vec3 Normal(const std::vector<Vec3>& p) {
  Vec3 n = {0, 0, 0};
  for (std::size_t i = 0; i < p.size(); ++i) {
    const Vec3& a = p[i];
    const Vec3& b = p[(i + 1) % p.size()];
    n[0] += (a[1] - b[1]) * (a[2] + b[2]);
    n[1] += (a[2] - b[2]) * (a[0] + b[0]);
    n[2] += (a[0] - b[0]) * (a[1] + b[1]);
  }
  return n;
}

// The largest distance between corners, the scale of "flat" for this polygon.
double Span(const std::vector<Vec3>& p) {
  double span = 0;
  for (const Vec3& a : p)
    for (const Vec3& b : p) span = std::max(span, Length(Sub(a, b)));
  return span;
}

// Whether the corners lie in one plane and turn the same way at every corner, with no corner
// repeated or in line with its neighbours.
bool FlatConvex(const std::vector<Vec3>& p) {
  const Vec3 n = Normal(p);
  const double nl = Length(n), span = Span(p);
  if (!(nl > 0) || !(span > 0)) return false;
  const Vec3 unit = {n[0] / nl, n[1] / nl, n[2] / nl};
  for (const Vec3& q : p)
    if (std::fabs(Dot(Sub(q, p[0]), unit)) > 1e-6 * span) return false;
  for (std::size_t i = 0; i < p.size(); ++i) {
    const Vec3 turn =
        Cross(Sub(p[(i + 1) % p.size()], p[i]), Sub(p[(i + 2) % p.size()], p[(i + 1) % p.size()]));
    if (Dot(turn, unit) <= 1e-9 * span * span) return false;
  }
  return true;
}

// Ear clipping of a simple polygon projected on the plane of its normal: index triples.
std::vector<std::array<unsigned, 3>> Triangulate(const std::vector<Vec3>& p) {
  std::vector<std::array<unsigned, 3>> out;
  const Vec3 n = Normal(p);
  const int drop = std::fabs(n[0]) > std::fabs(n[1]) ? (std::fabs(n[0]) > std::fabs(n[2]) ? 0 : 2)
                                                     : (std::fabs(n[1]) > std::fabs(n[2]) ? 1 : 2);
  const int u = (drop + 1) % 3, v = (drop + 2) % 3;
  const double sign = n[drop] >= 0 ? 1 : -1;
  auto cross2 = [&](unsigned a, unsigned b, unsigned c) {
    return sign *
           ((p[b][u] - p[a][u]) * (p[c][v] - p[a][v]) - (p[b][v] - p[a][v]) * (p[c][u] - p[a][u]));
  };
  std::vector<unsigned> ring(p.size());
  for (unsigned i = 0; i < ring.size(); ++i) ring[i] = i;
  while (ring.size() > 3) {
    bool clipped = false;
    for (std::size_t i = 0; i < ring.size() && !clipped; ++i) {
      const unsigned a = ring[(i + ring.size() - 1) % ring.size()], b = ring[i],
                     c = ring[(i + 1) % ring.size()];
      if (cross2(a, b, c) <= 0) continue;
      bool inside = false;
      for (unsigned q : ring) {
        if (q == a || q == b || q == c) continue;
        if (cross2(a, b, q) >= 0 && cross2(b, c, q) >= 0 && cross2(c, a, q) >= 0) inside = true;
      }
      if (inside) continue;
      out.push_back({a, b, c});
      ring.erase(ring.begin() + static_cast<long>(i));
      clipped = true;
    }
    if (!clipped) {  // not simple or degenerate: a fan keeps every piece
      for (std::size_t i = 1; i + 1 < ring.size(); ++i)
        out.push_back({ring[0], ring[i], ring[i + 1]});
      return out;
    }
  }
  out.push_back({ring[0], ring[1], ring[2]});
  return out;
}

Vec3 MeanColour(const ModelMesh& mesh, const std::vector<unsigned>& face, const Vec3& material) {
  if (mesh.colours.empty()) return material;
  Vec3 sum = {0, 0, 0};
  for (unsigned i : face)
    for (int k = 0; k < 3; ++k) sum[k] += mesh.colours[i][k];
  for (int k = 0; k < 3; ++k) sum[k] = material[k] * sum[k] / static_cast<double>(face.size());
  return sum;
}

Polygon MakePolygon(const Model& model, int index, const std::vector<unsigned>& face) {
  const ModelMesh& mesh = model.meshes[index];
  const Vec3 material = mesh.material >= 0 ? model.materials[mesh.material].colour : Vec3{1, 1, 1};
  Polygon polygon;
  polygon.mesh = index;
  polygon.colour = MeanColour(mesh, face, material);
  for (unsigned i : face) {
    PolyCorner c;
    c.p = mesh.positions[i];
    if (!mesh.uv.empty()) {
      c.s = mesh.uv[i][0];
      c.t = mesh.uv[i][1];
    }
    polygon.corners.push_back(c);
  }
  return polygon;
}

// Whether texture coordinate d of the fourth corner is what the plane through a, b, c gives:
// then the quad a b c d draws its picture exactly as the two triangles did.
bool SameMapping(const PolyCorner& a, const PolyCorner& b, const PolyCorner& c,
                 const PolyCorner& d) {
  const Vec3 e1 = Sub(b.p, a.p), e2 = Sub(c.p, a.p), e = Sub(d.p, a.p);
  const double m11 = Dot(e1, e1), m12 = Dot(e1, e2), m22 = Dot(e2, e2);
  const double det = m11 * m22 - m12 * m12;
  if (!(det > 0)) return false;
  const double r1 = Dot(e, e1), r2 = Dot(e, e2);
  const double k1 = (r1 * m22 - r2 * m12) / det, k2 = (r2 * m11 - r1 * m12) / det;
  const double s = a.s + k1 * (b.s - a.s) + k2 * (c.s - a.s);
  const double t = a.t + k1 * (b.t - a.t) + k2 * (c.t - a.t);
  return std::fabs(s - d.s) <= 1e-9 * (1 + std::fabs(d.s)) &&
         std::fabs(t - d.t) <= 1e-9 * (1 + std::fabs(d.t));
}

// Merges triangles that share an edge, lie in one plane, have the same colour and mapping,
// and make a convex quad. Other polygons pass unchanged.
std::vector<Polygon> MergeQuads(std::vector<Polygon> in) {
  std::map<std::pair<std::array<double, 3>, std::array<double, 3>>, std::size_t> edges;
  std::vector<bool> used(in.size(), false);
  std::vector<Polygon> out;
  for (std::size_t i = 0; i < in.size(); ++i) {
    if (in[i].corners.size() != 3) continue;
    for (int k = 0; k < 3; ++k)
      edges.emplace(std::make_pair(in[i].corners[k].p, in[i].corners[(k + 1) % 3].p), i);
  }
  for (std::size_t i = 0; i < in.size(); ++i) {
    if (used[i]) continue;
    used[i] = true;
    Polygon& a = in[i];
    if (a.corners.size() == 3) {
      for (int k = 0; k < 3; ++k) {
        const PolyCorner& p = a.corners[k];
        const PolyCorner& q = a.corners[(k + 1) % 3];
        const PolyCorner& r = a.corners[(k + 2) % 3];
        const auto found = edges.find(std::make_pair(q.p, p.p));  // the neighbour runs q -> p
        if (found == edges.end() || used[found->second]) continue;
        const Polygon& b = in[found->second];
        if (b.colour != a.colour || b.mesh != a.mesh) continue;
        int j = 0;
        while (j < 3 && b.corners[j].p != q.p) ++j;
        if (j == 3 || b.corners[(j + 1) % 3].p != p.p) continue;
        const PolyCorner& d = b.corners[(j + 2) % 3];
        if (b.corners[j].s != q.s || b.corners[j].t != q.t || b.corners[(j + 1) % 3].s != p.s ||
            b.corners[(j + 1) % 3].t != p.t)
          continue;
        const std::vector<Vec3> quad = {p.p, d.p, q.p, r.p};
        if (!FlatConvex(quad) || !SameMapping(p, q, r, d)) continue;
        used[found->second] = true;
        a.corners = {p, d, q, r};
        break;
      }
    }
    out.push_back(std::move(a));
  }
  return out;
}

std::vector<std::vector<unsigned>> Triangles(const ModelMesh& mesh) {
  std::vector<std::vector<unsigned>> out;
  for (const std::vector<unsigned>& face : mesh.faces) {
    std::vector<Vec3> p;
    for (unsigned i : face) p.push_back(mesh.positions[i]);
    if (face.size() == 3) {
      out.push_back(face);
      continue;
    }
    for (const auto& t : Triangulate(p)) out.push_back({face[t[0]], face[t[1]], face[t[2]]});
  }
  return out;
}

}  // namespace

std::vector<Polygon> MeshPolygons(const Model& model, int index) {
  const ModelMesh& mesh = model.meshes[index];
  std::vector<Polygon> polygons;
  for (const std::vector<unsigned>& face : mesh.faces) {
    std::vector<Vec3> p;
    for (unsigned i : face) p.push_back(mesh.positions[i]);
    if (face.size() == 3 || FlatConvex(p)) {
      polygons.push_back(MakePolygon(model, index, face));
      continue;
    }
    for (const auto& t : Triangulate(p))
      polygons.push_back(MakePolygon(model, index, {face[t[0]], face[t[1]], face[t[2]]}));
  }
  return MergeQuads(std::move(polygons));
}

std::size_t TriangleCount(const Model& model, int index) {
  return Triangles(model.meshes[index]).size();
}

std::vector<std::vector<Polygon>> SimplifiedModel(const Model& model, std::size_t targetTriangles) {
  // All meshes as one: the simplifier keeps them apart as separate pieces, and every
  // triangle it keeps indexes the vertices of one mesh.
  std::vector<unsigned> indices;
  std::vector<float> positions;
  std::vector<std::size_t> first;  // each mesh's first vertex in positions
  for (const ModelMesh& mesh : model.meshes) {
    const auto base = static_cast<unsigned>(positions.size() / 3);
    first.push_back(base);
    for (const auto& t : Triangles(mesh))
      for (unsigned i : t) indices.push_back(base + i);
    for (const Vec3& p : mesh.positions)
      for (double c : p) positions.push_back(static_cast<float>(c));
  }
  first.push_back(positions.size() / 3);
  std::vector<unsigned> result(indices.size());
  const std::size_t vertices = positions.size() / 3, stride = sizeof(float) * 3;
  std::size_t count =
      meshopt_simplify(result.data(), indices.data(), indices.size(), positions.data(), vertices,
                       stride, targetTriangles * 3, 1.0f);
  if (count > targetTriangles * 3)
    count = meshopt_simplifySloppy(result.data(), indices.data(), indices.size(), positions.data(),
                                   vertices, stride, targetTriangles * 3, 1.0f, nullptr);
  count = std::min(count, targetTriangles * 3);
  std::vector<std::vector<Polygon>> out(model.meshes.size());
  for (std::size_t i = 0; i + 2 < count; i += 3) {
    const auto mesh = static_cast<std::size_t>(
        std::upper_bound(first.begin(), first.end(), result[i]) - first.begin() - 1);
    // The coarse simplifier merges nearby vertices of any mesh: such a triangle belongs to
    // the mesh of its first corner, each corner keeping the position and mapping of its own.
    std::vector<unsigned> local(3);
    std::vector<std::size_t> owner(3);
    for (int k = 0; k < 3; ++k) {
      owner[k] = static_cast<std::size_t>(
          std::upper_bound(first.begin(), first.end(), result[i + k]) - first.begin() - 1);
      local[k] = result[i + k] - static_cast<unsigned>(first[owner[k]]);
    }
    Polygon polygon = MakePolygon(model, static_cast<int>(mesh), {local[0], local[0], local[0]});
    for (int k = 1; k < 3; ++k) {
      const ModelMesh& from = model.meshes[owner[k]];
      polygon.corners[k].p = from.positions[local[k]];
      polygon.corners[k].s = from.uv.empty() ? 0 : from.uv[local[k]][0];
      polygon.corners[k].t = from.uv.empty() ? 0 : from.uv[local[k]][1];
    }
    out[mesh].push_back(polygon);
  }
  for (std::vector<Polygon>& polygons : out) polygons = MergeQuads(std::move(polygons));
  return out;
}

std::size_t CornerCount(const std::vector<Polygon>& polygons) {
  std::size_t n = 0;
  for (const Polygon& p : polygons) n += p.corners.size();
  return n;
}
