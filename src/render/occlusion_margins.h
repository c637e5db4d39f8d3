// The hidden test's soundness argument, and every tolerance it rests on, in one place: the
// margins of the window transform (occlusion_window.cpp), of the tiles (occlusion.cpp), of a
// polygon's recorded shape (ShapeOf), of the view's centre of projection (cull.cpp) and of the
// drift a model's drawing gives the matrix in force (cull.cpp, objects.cpp). Change one only
// with the item of the argument that states it.
//
// Why leaving a hidden polygon out changes no pixel (render/occlusion.h says what is hidden).
// "The depth OpenGL gives a pixel" is what Mesa's llvmpipe computes in float:
//
//  1. Vertices. Each vertex is transformed by the float product of the two matrices and
//     divided by w; its window coordinates then lie within an error of ours (worked out in
//     double from the same matrices): kTransform of the sizes summed in the product (a float
//     vertex, product and matrix entries each round within a few units of 2^-24), times the
//     window's scale over w, plus kRounding of the window coordinate itself (the division and
//     the viewport's scale and offset). A vertex is placed only where w's error is under half
//     of w and it lies inside the near and far planes by its errors (no clipping in depth).
//     This holds for any projection: field of view, near and far planes, pitch, crouch and
//     jump only change the matrices and so the errors; a far plane of 10^6 puts a distant
//     wall's depth in the last steps of the buffer, and the errors stay measured against it.
//  2. Triangles. Mesa draws a polygon as the triangles (v(i+1), v(i+2), v0), and clips every
//     triangle that reaches beyond the window's edges against them (a depth buffer turns
//     llvmpipe's guard band off), drawing the clipped piece as a fan of triangles. For each
//     triangle llvmpipe works out its depth plane at the window's origin from float
//     differences, products and the inverse of the area, and evaluates it at each pixel. Its
//     rounding is bounded by Setup (occlusion_window.cpp), whose coefficients are the terms
//     of this bound: 2^-23 times (2 + 13 R) dz + 7 |z| + 14 G M, with dz the triangle's depth
//     range, R its bounding box over its area (large for a thin triangle lying across the
//     window), G its depth slope and M its largest coordinate.
//     This is where a thin triangle loses depth: the margin below is no fixed number of
//     steps but this bound, for each triangle that can be drawn. A triangle whose vertices'
//     errors could leave it without area has no bound: its polygon is never hidden and
//     hides nothing.
//  3. Polygons placed one by one (PlacePolygon, LayHider). Their triangles, and the pieces
//     clipping cuts from them (Mesa's clipper followed step by step), are known on the
//     window: each one's bound is taken, with the errors of 1. A polygon's pixels lie beyond
//     its nearest corner less that; and, for one of half a pixel or more whose slope is
//     trusted (kSteepest), beyond its plane.
//  4. Groups of polygons (a run, a cluster, an object's model: PlaceBox, PlaceSphere, then
//     Allowance) lie in a box whose corners are placed. Every pixel of a polygon in it lies
//     beyond the corners' nearest depth (the depth is monotonic in w, the box lies before the
//     eye). Their triangles are not placed; each polygon's shape, recorded with the list (its
//     plane, how thin its triangles are, the shortest of them: PolygonShape), bounds them on
//     the window: a triangle of area A and longest edge L in the scene covers at least
//     (W/2)(H/2) |plane . eye| / w^3 times A on the window (eye: the view's centre of
//     projection, ViewVolume::Eye), and no edge stretches by more than the largest scale of
//     the projection in the box. The drift a model's matrix may have taken moves a triangle's
//     corners together (WindowBox::warp): only each vertex's own error can take its area. A
//     polygon is bounded so only when its sphere stays inside the window (nothing of it is
//     clipped); the others of a group are placed one by one.
//  5. The depth buffer. A depth is stored and compared rounded to its bits: two depths more
//     than two steps apart keep their order; kDepthSteps are allowed (apart_).
//  6. The depth test decides. Every pixel a hider covers reaches the depth buffer, and a
//     nearer depth wins whatever comes after it: the depth test on, writing, less or
//     less-or-equal; polygons filled, none culled by facing, no alpha or stencil test, no
//     scissor, stipple, smoothing, polygon offset or blending (Begin reads them).
//  7. Shapes. A polygon's shape bounds its triangles only if it is flat: its fitted normal
//     must be longer than kDegenerateNormal times the square of its largest edge step (else it
//     has no plane), and every corner must lie within kFlatResidual of its size from that
//     plane; how far its triangles' planes may turn from it is then counted (turn). A hider
//     must turn once around: its turns must add up to a full circle within kFullTurn radians.
//  8. Drift. Each float glRotatef or glTranslatef made since a matrix was read, and undone by
//     its inverse, may leave the matrix in force off the one read by kDriftUnit of the sizes
//     it mixes (ViewVolume::AddDrift). An object's placement is kPlacementRotations and
//     kPlacementTranslations such calls; each part switch, at most kSwitchRotations and
//     kSwitchTranslations (two translations and six rotations each way). The centre of
//     projection is worked out from the matrix within kEyeRounding of its size (its six
//     products of three entries, each rounded in double).
//
// Where a bound cannot be worked out (a matrix that is not finite, a depth buffer of more
// than 24 bits or none, a polygon or a triangle that 2 or 4 does not bound), nothing is left
// out for it: the view, or the polygon, is not culled.
#pragma once

// The unit of float rounding: a float operation's result lies within this of the exact one,
// relative to it.
inline constexpr double kUnit = 0x1p-24;
// OpenGL's float vertex transform (the vertex, the product of the matrices and the product
// with the vertex), relative to the sizes summed in the product: sixteen units, far above
// the rounding of four products and a sum, three times over (item 1).
inline constexpr double kTransform = 1e-6;
// The division by w and the viewport's scale and offset, relative to the window coordinate,
// the offset and the scale summed (item 1).
inline constexpr double kRounding = 8 * kUnit;
// A corner that clipping cuts, worked out in clip coordinates, is off by this many units of
// its coordinates' magnitude (item 3).
inline constexpr double kClipRounding = 16 * kUnit;
// Pixels a hider must cover beyond a tile on every side, and a polygon's or a box's pixels may
// reach beyond its corners: vertices are snapped to a fraction of a pixel, and a pixel centre
// on an edge may go either way (items 3 and 4).
inline constexpr double kEdgeMargin = 1;
// llvmpipe decides which pixels a triangle covers from its vertices snapped to this fraction
// of a pixel: a pixel it covers lies at most this far outside the triangle its depth is
// worked out from (item 2).
inline constexpr double kSnap = 1.0 / 256;
// The largest depth slope (depth range per pixel) trusted for a polygon's plane: a polygon
// seen nearly edge-on hides nothing, and is tested by its nearest depth alone (item 3).
inline constexpr double kSteepest = 1.0 / 64;
// Steps of the depth buffer two depths must lie apart to be told apart: two keep their order
// through the rounding to the buffer's bits; four are allowed (item 5).
inline constexpr int kDepthSteps = 4;
// A polygon's flatness (item 7): its normal's least length over its size squared, its
// corners' largest distance from its plane over its size.
inline constexpr double kDegenerateNormal = 1e-9;
inline constexpr double kFlatResidual = 1e-6;
// How far a hider's turns may add up from a full circle, in radians (item 7).
inline constexpr double kFullTurn = 1e-3;
// The rounding of the centre of projection, relative to its determinant (item 8).
inline constexpr double kEyeRounding = 1e-12;
// A float rotation's or translation's drift, relative to the sizes it mixes: about 4 units of
// the sum of four products, and the factor's own rounding; 8 counted (item 8).
inline constexpr double kDriftUnit = 8 * kUnit;
// The matrix calls an object's drawing makes that float round trips undo (item 8).
inline constexpr int kPlacementRotations = 2, kPlacementTranslations = 2;
inline constexpr int kSwitchRotations = 12, kSwitchTranslations = 4;
