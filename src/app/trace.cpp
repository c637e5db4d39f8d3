// The per-frame trace. The keys of a trace line are listed once, in the tables below: a new
// value of the program shows up in every trace by adding one row.
#include "app/trace.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <variant>

#include "app/run_state.h"
#include "app/view.h"
#include "motion/camera.h"
#include "motion/vehicle.h"
#include "motion/viewer.h"
#include "platform/line_file.h"
#include "scene/scene.h"

namespace {

using Value = std::variant<const double*, const int*>;

struct Field {
  const char* name;
  Value value;
};

const Field kFields[] = {
    {"RunState", &RunState},
    {"ControlMode", &ControlMode},
    {"eyeX", &eyeX},
    {"eyeY", &eyeY},
    {"eyeZ", &eyeZ},
    {"targetX", &targetX},
    {"targetY", &targetY},
    {"targetZ", &targetZ},
    {"heading", &heading},
    {"headingRad", &headingRad},
    {"smoothHeading", &smoothHeading},
    {"turnRate", &turnRate},
    {"lookPitch", &lookPitch},
    {"forwardSpeed", &forwardSpeed},
    {"sideSpeed", &sideSpeed},
    {"moveAngle", &moveAngle},
    {"stepBlocked", &stepBlocked},
    {"travelX", &travelX},
    {"travelZ", &travelZ},
    {"crouchOffset", &crouchOffset},
    {"jumpLift", &jumpLift},
    {"jumpRising", &jumpRising},
    {"jumpFalling", &jumpFalling},
    {"jumpLatch", &jumpLatch},
    {"motionKind", &motionKind},
    {"trembleAmplitude", &trembleAmplitude},
    {"lookEyeX", &lookEyeX},
    {"lookEyeY", &lookEyeY},
    {"lookEyeZ", &lookEyeZ},
    {"lookRefDistance", &lookRefDistance},
    {"viewCentreX", &viewCentreX},
    {"viewCentreY", &viewCentreY},
    {"bodyPitch", &bodyPitch},
    {"bodyPitchOvershoot", &bodyPitchOvershoot},
    {"bodyRoll", &bodyRoll},
    {"braking", &braking},
    {"handbrakeTurn", &handbrakeTurn},
    {"highSpeed", &highSpeed},
    {"steerLimit", &steerLimit},
    {"handbrakeTurnLimit", &handbrakeTurnLimit},
    {"acceleration", &acceleration},
    {"cameraDistance", &cameraDistance},
};

using ObjectValue = std::variant<const PerObject<double>*, const PerObject<int>*>;

struct ObjectField {
  const char* name;
  ObjectValue value;
};

const ObjectField kObjectFields[] = {
    {"objectCurX", &objectCurX},
    {"objectCurZ", &objectCurZ},
    {"objectMoveX", &objectMoveX},
    {"objectMoveZ", &objectMoveZ},
    {"objectHeading", &objectHeading},
    {"objectSpeed", &objectSpeed},
    {"objectTurnClock", &objectTurnClock},
    {"objectEvading", &objectEvading},
    {"objectSwerve", &objectSwerve},
    {"objectSwervePhase", &objectSwervePhase},
    {"objectMotionState", &objectMotionState},
};

// The program's own trace; each of its lines is a frame.
LineFile traceFile{.program = "citywalk", .what = "the trace"};

void Append(std::string& out, const char* name, const std::string& text) {
  out += '"';
  out += name;
  out += "\":";
  out += text;
}

}  // namespace

std::string FormatNumber(double value) {
  if (std::isnan(value)) return "\"nan\"";
  if (std::isinf(value)) return value > 0 ? "\"inf\"" : "\"-inf\"";
  char buffer[64];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::string TraceLine(long long frame, std::uint32_t tick) {
  std::string out = "{";
  Append(out, "frame", std::to_string(frame));
  out += ',';
  Append(out, "tick", std::to_string(tick));
  for (const auto& field : kFields) {
    out += ',';
    if (const auto* d = std::get_if<const double*>(&field.value))
      Append(out, field.name, FormatNumber(**d));
    else
      Append(out, field.name, std::to_string(*std::get<const int*>(field.value)));
  }
  out += ",\"objects\":[";
  const int last = objectLastIndex < kObjectSlots ? objectLastIndex : kObjectSlots - 1;
  for (int i = 0; i <= last; ++i) {
    out += i == 0 ? "{" : ",{";
    bool first = true;
    for (const auto& field : kObjectFields) {
      if (!first) out += ',';
      first = false;
      if (const auto* d = std::get_if<const PerObject<double>*>(&field.value))
        Append(out, field.name, FormatNumber((**d)[i]));
      else
        Append(out, field.name, std::to_string((*std::get<const PerObject<int>*>(field.value))[i]));
    }
    out += '}';
  }
  out += "]}";
  return out;
}

bool StartTrace(const std::string& path, std::string* why) {
  StopTrace();
  if (!OpenLineFile(traceFile, path, why)) return false;
  static bool registered = false;
  if (!registered) std::atexit(StopTrace);
  registered = true;
  return true;
}

void TraceFrame() {
  if (!LineFileOpen(traceFile)) return;
  AddLine(traceFile, TraceLine(traceFile.frames + 1, static_cast<std::uint32_t>(nowTick)));
  EndFrame(traceFile);
}

void StopTrace() { CloseLineFile(traceFile); }
