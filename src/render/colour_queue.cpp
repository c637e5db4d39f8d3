// Following how Mesa gives a polygon its colour, and sending polygons to match.
#include "render/colour_queue.h"

#include "platform/win32.h"

ColourQueue writtenQueue;

namespace {

// Mesa draws what it holds after this many polygons, keeping the layout.
constexpr int kPolygonsHeld = 64;
// A colour joining a layout that held more vertices than this empties it instead.
constexpr int kLayoutKept = 8;

}  // namespace

// Mesa draws the vertices held; inside glBegin/glEnd the open polygon goes on from a copy of
// its first and last vertices.
void ColourQueue::Draw() {
  held_ = inside_ ? (sent_ < 2 ? sent_ : 2) : 0;
  polygons_ = inside_ ? 1 : 0;
}

void ColourQueue::Empty() { colour_ = position_ = texture_ = false; }

// An attribute not in the layout is added to it after drawing what is held; sent outside
// glBegin/glEnd to a layout that held more than 8 vertices, it empties the layout first.
void ColourQueue::Join(bool& attribute) {
  if (attribute) return;
  const int held = held_;
  const bool any = colour_ || position_ || texture_;
  Draw();
  if (!inside_ && held > kLayoutKept && any) Empty();
  attribute = true;
}

void ColourQueue::StateChange() {
  if (!stored_) return;
  stored_ = false;
  held_ = polygons_ = 0;
  Empty();
}

void ColourQueue::Texturing(bool on) {
  if (texturing_ != (on ? 1 : 0)) StateChange();
  texturing_ = on ? 1 : 0;
}

void ColourQueue::Colour() { Join(colour_); }

void ColourQueue::TexCoord() { Join(texture_); }

// A layout holding attributes but no position is emptied: they become the current ones.
void ColourQueue::Begin() {
  if ((colour_ || texture_) && !position_) {
    held_ = polygons_ = 0;
    stored_ = false;
    Empty();
  }
  inside_ = true;
  sent_ = 0;
  ++polygons_;
}

void ColourQueue::Vertex() {
  Join(position_);
  ++held_;
  ++sent_;
}

void ColourQueue::End() {
  inside_ = false;
  if (sent_ > 0) stored_ = true;
  if (polygons_ >= kPolygonsHeld) held_ = polygons_ = 0;
}

// Toggling GL_AUTO_NORMAL, which only evaluators read, is a state change that changes nothing
// drawn here: Mesa draws what it holds and empties its layout.
void PolygonSender::Begin(bool perVertex, double r, double g, double b) {
  if (perVertex) {
    glBegin(GL_POLYGON);
    glColor3d(r, g, b);
    return;
  }
  if (holding_) {
    glEnable(GL_AUTO_NORMAL);
    glDisable(GL_AUTO_NORMAL);
  }
  glColor3d(r, g, b);
  glBegin(GL_POLYGON);
}

void PolygonSender::End() {
  glEnd();
  holding_ = true;
}

void ResetColourQueue() { writtenQueue = {}; }
