// The table of control modes: which motion each runs at which point of a frame.
#include "motion/modes.h"

#include "motion/chase.h"
#include "motion/chase_drive.h"
#include "motion/drive.h"
#include "motion/walk.h"
#include "motion/walker.h"
#include "scene/scene.h"

namespace {

// One control mode's motion; nullptr where the mode does nothing.
struct ModeRules {
  int mode;                // the ControlMode value
  void (*step)();          // the frame's motion, before anything is drawn
  void (*beforeAvatar)();  // right before the avatar is drawn
  void (*afterAvatar)();   // right after the avatar is drawn
};

constexpr ModeRules kModes[] = {
    {kModeWalk, WalkModeStep, nullptr, nullptr},
    {kModeDrive, DriveStep, DriveBeforeAvatar, nullptr},
    {kModeFollow, WalkerStep, WalkerBeforeAvatar, LoadChaseView},
    {kModeChase, ChaseDriveStep, ChaseDriveBeforeAvatar, LoadChaseView},
};

// The rules of the current mode, or nullptr for a mode that moves nothing.
const ModeRules* CurrentMode() {
  for (const ModeRules& rules : kModes)
    if (rules.mode == ControlMode) return &rules;
  return nullptr;
}

}  // namespace

void ModeStep() {
  const ModeRules* rules = CurrentMode();
  if (rules && rules->step) rules->step();
}

void ModeBeforeAvatar() {
  const ModeRules* rules = CurrentMode();
  if (rules && rules->beforeAvatar) rules->beforeAvatar();
}

void ModeAfterAvatar() {
  const ModeRules* rules = CurrentMode();
  if (rules && rules->afterAvatar) rules->afterAvatar();
}
