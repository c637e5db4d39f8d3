// Whether a polygon takes its colour with each vertex or as the current colour, followed call
// by call as Mesa's immediate mode decides it; and sending a polygon so that it takes its
// colour the way the drawing as written gives it.
//
// The two draw different pixels. Mesa gathers the vertices sent between glBegin and glEnd in a
// layout of the attributes sent so far (position, texture coordinates, colour) and draws them
// later. A polygon whose colour is in the layout has it interpolated across its pixels from the
// equal values at its vertices, which, corrected for perspective, is not always that value to
// the last bit: a channel, or a texel times it, may round to the next level (one level on a
// pixel here and there; along a wall seen at a slant, on hundreds). A polygon whose colour is
// not in the layout is drawn in the current colour, one value on every pixel. Which of the two
// a polygon gets depends on what was sent before it:
//
//   - A call that changes OpenGL's state (a matrix, texturing switched, another texture bound,
//     a clear) makes Mesa draw the vertices it holds, if any were sent since the last such call,
//     and empty the layout (StateChange).
//   - glBegin finding a layout without position (only attributes sent since it was emptied)
//     empties it, the attributes becoming the current ones: the polygon after a state change
//     takes the current colour.
//   - A colour sent outside glBegin/glEnd to a layout with positions but no colour draws what
//     is held; if that was more than 8 vertices the layout is emptied (the colour becomes the
//     current one again), otherwise the colour joins it, and every polygon after takes its
//     colour with each vertex until the next state change.
//   - A colour sent inside glBegin/glEnd (the first polygon of a textured list) joins the
//     layout.
//   - Mesa also draws what it holds, keeping the layout, after 64 polygons (which restarts the
//     count of vertices held) and when its vertex buffer of 512 KiB fills. Where the buffer
//     fills cannot be followed: it depends on every vertex sent since the program started. When
//     it fills within the last seven vertices of a polygon of more than 8 that takes the current
//     colour right after a state change, the polygon after it takes its colour with each vertex
//     where this queue says it takes the current one. Only such runs of large polygons are
//     exposed to it.
//
// These are the rules of Mesa 22's immediate mode (vbo_exec_api.c, vbo_exec_draw.c); another
// OpenGL may keep the colour otherwise, and the display lists then may not draw as immediate
// drawing does.
#pragma once

// Mesa's layout and count of vertices held, as the calls followed leave them.
class ColourQueue {
 public:
  // A call that changes OpenGL's state.
  void StateChange();
  // glEnable (on) or glDisable(GL_TEXTURE_2D): a state change when it switches texturing (as
  // it is not known at first, the first is taken to switch it).
  void Texturing(bool on);
  void Colour();
  void TexCoord();
  void Begin();
  void Vertex();
  void End();
  // Whether the polygon begun last takes its colour with each vertex (as far as it was sent:
  // a colour sent inside it makes it so).
  bool PerVertex() const { return colour_; }
  // Whether a polygon begun now after a colour would take it with each vertex were no state
  // changed first: the layout holds positions.
  bool Holding() const { return position_; }
  bool operator==(const ColourQueue&) const = default;

 private:
  bool colour_ = false, position_ = false, texture_ = false;  // in the layout
  bool inside_ = false;                                       // between glBegin and glEnd
  bool stored_ = false;  // vertices sent since the last state change
  int held_ = 0;         // vertices held since Mesa last drew
  int polygons_ = 0;     // polygons held since Mesa last drew
  int sent_ = 0;         // vertices of the open polygon
  int texturing_ = -1;   // GL_TEXTURE_2D as last switched (-1: not known)
  void Join(bool& attribute);
  void Draw();
  void Empty();
};

// The queue as drawing everything vertex by vertex, as written, leaves it at this point of the
// frame: what the drawing that replaces parts of it by display lists or leaves polygons out
// follows, to give each polygon its colour as the drawing as written would.
extern ColourQueue writtenQueue;

// Sends polygons to OpenGL vertex by vertex, each taking its colour with each vertex or as the
// current colour as asked, whatever Mesa held before.
class PolygonSender {
 public:
  // Mesa has drawn what it held and emptied its layout since (a matrix was changed, a display
  // list drew).
  void Emptied() { holding_ = false; }
  // glBegin(GL_POLYGON) with the colour r, g, b: sent inside for a polygon taking it with each
  // vertex; outside, after making Mesa empty its layout if it may hold positions, for one
  // taking the current colour.
  void Begin(bool perVertex, double r, double g, double b);
  void End();

 private:
  bool holding_ = true;  // Mesa may hold positions in its layout (not known: taken to)
};

// The frame begins with nothing held (the frame's clear has drawn it).
void ResetColourQueue();
