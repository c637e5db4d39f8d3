// Replay scripts: input events, each tied to the turn of the message loop it is given in.
//
// One event a line: FRAME EVENT ARGS, where FRAME counts loop turns from 1 (while the program
// runs, turn n is the turn that draws frame n). '#' starts a comment; blank lines are skipped.
//   keydown KEY | keyup KEY        KEY: a key's name in kKeys (platform/keys.h: up down left
//                                  right space ctrl f2 f3 esc), or a virtual-key number
//                                  (decimal or 0x hex, 1..254)
//   mousemove X Y                  client coordinates
//   lbuttondown X Y | lbuttonup X Y
//   resize W H                     new client size, 0..16384
//   close                          the platform's close command
#pragma once

#include <istream>
#include <string>
#include <vector>

enum class EventKind { KeyDown, KeyUp, MouseMove, LeftDown, LeftUp, Resize, Close };

struct ScriptEvent {
  long long frame = 0;
  EventKind kind = EventKind::Close;
  int a = 0, b = 0;  // key code, or x and y, or width and height
  int line = 0;
};

// Reads a whole script. On the first malformed line returns false with error set to
// "line N: why"; otherwise events holds the events sorted by frame, in file order within one.
bool ParseScript(std::istream& in, std::vector<ScriptEvent>& events, std::string& error);
