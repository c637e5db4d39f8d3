// Reading citywalk-import's command line, each value checked against its range.
#include "options.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace {

// A finite number filling the whole of text.
bool Number(const std::string& text, double& value) {
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, value);
  return result.ec == std::errc() && result.ptr == end && std::isfinite(value);
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> pieces(1);
  for (char c : text) {
    if (c == separator)
      pieces.emplace_back();
    else
      pieces.back() += c;
  }
  return pieces;
}

// NODE:AXIS:DEGREES:FRAMES[:ROWS]; node names may hold ':' themselves, so the fields are
// taken from the end.
bool ParsePart(const std::string& text, bool avatar, PartOption& part, std::string& error) {
  std::vector<std::string> f = Split(text, ':');
  const bool withRows =
      avatar && f.size() >= 5 && f.back().find_first_not_of("0123456789,") == std::string::npos;
  std::vector<std::string> rows;
  if (withRows) {
    rows = Split(f.back(), ',');
    f.pop_back();
  }
  if (f.size() < 4) {
    error = "--part: wants NODE:AXIS:DEGREES:FRAMES" + std::string(avatar ? "[:ROWS]" : "");
    return false;
  }
  const std::string frames = f.back();
  f.pop_back();
  const std::string degrees = f.back();
  f.pop_back();
  const std::string axis = f.back();
  f.pop_back();
  part.node = f[0];
  for (std::size_t i = 1; i < f.size(); ++i) part.node += ":" + f[i];
  if (axis.size() != 1 || std::strchr("xyz", axis[0]) == nullptr) {
    error = "--part: the axis must be x, y or z";
    return false;
  }
  part.axis = axis[0];
  if (!Number(degrees, part.degrees) || std::fabs(part.degrees) > 360) {
    error = "--part: the swing must be a number of degrees from -360 to 360";
    return false;
  }
  if (!Number(frames, part.frames) || part.frames < 1 || part.frames > 10000) {
    error = "--part: the frames must be a number from 1 to 10000";
    return false;
  }
  part.rows = avatar ? std::vector<int>{1, 2} : std::vector<int>{1};
  if (withRows) {
    part.rows.clear();
    for (const std::string& r : rows) {
      if (r.size() != 1 || r[0] < '0' || r[0] > '4') {
        error = "--part: the rows are motion states 0 to 4, separated by commas";
        return false;
      }
      part.rows.push_back(r[0] - '0');
    }
  }
  return true;
}

std::string Text(double value) {
  char buffer[32];
  return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

// One option's value as a number within [low, high].
bool Ranged(const std::string& name, const std::string& text, double low, double high,
            double& value, std::string& error) {
  if (!Number(text, value) || value < low || value > high) {
    error = name + ": must be a number from " + Text(low) + " to " + Text(high) + " (got '" + text +
            "')";
    return false;
  }
  return true;
}

}  // namespace

const char* ImportUsage() {
  return "usage: citywalk-import DIR MODEL [options]\n"
         "Adds the model (OBJ, glTF, Collada, 3DS, FBX, PLY, STL, ...) to the scene "
         "DIR/Город.mts,\n"
         "starting a new scene when DIR has none.\n"
         "  --as static|object|avatar  scenery (default), a moving object, or your own model\n"
         "  --part NODE:AXIS:DEGREES:FRAMES[:ROWS]  the meshes under NODE swing about AXIS\n"
         "                             (objects: while moving; avatar: in ROWS, default 1,2)\n"
         "  --at X,Z                   where the model stands (default 0,0)\n"
         "  --heading DEG              its heading (default 0: its front faces -z)\n"
         "  --turn DEG                 turns the model itself first, for a model whose front\n"
         "                             is not the file's front (-90: a front along +x)\n"
         "  --scale S | --size L       scale factor, or the largest horizontal extent\n"
         "  --up y|z                   the source's up axis when the file does not say\n"
         "  --posts                    ring the model's footprint with posts (static only)\n"
         "  --speed V                  an object's top speed (default 1)\n"
         "  --clearance C              an object's clearance (default half its smaller width)\n"
         "  --avoid-posts              the object steers around the posts\n"
         "  --max-vertices N           at most N vertices for the model\n"
         "Exit status: 0 done, 1 refused input, 2 missing file or folder.\n";
}

bool ParseImportOptions(int argc, char** argv, ImportOptions& o, bool& help, std::string& error) {
  help = false;
  std::vector<std::string> positional, partTexts;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      help = true;
      return true;
    }
    if (arg.rfind("--", 0) != 0) {
      positional.push_back(arg);
      continue;
    }
    if (arg == "--posts") {
      o.posts = true;
      continue;
    }
    if (arg == "--avoid-posts") {
      o.avoidPosts = true;
      continue;
    }
    if (i + 1 >= argc) {
      error = arg + ": wants a value";
      return false;
    }
    const std::string value = argv[++i];
    double number = 0;
    if (arg == "--as") {
      if (value == "static") {
        o.as = ImportAs::kStatic;
      } else if (value == "object") {
        o.as = ImportAs::kObject;
      } else if (value == "avatar") {
        o.as = ImportAs::kAvatar;
      } else {
        error = "--as: must be static, object or avatar";
        return false;
      }
    } else if (arg == "--part") {
      partTexts.push_back(value);
    } else if (arg == "--at") {
      const std::vector<std::string> xz = Split(value, ',');
      if (xz.size() != 2 || !Ranged("--at", xz[0], -1e5, 1e5, o.atX, error) ||
          !Ranged("--at", xz[1], -1e5, 1e5, o.atZ, error)) {
        if (error.empty()) error = "--at: wants X,Z";
        return false;
      }
    } else if (arg == "--heading") {
      if (!Ranged(arg, value, -3600, 3600, o.heading, error)) return false;
    } else if (arg == "--turn") {
      if (!Ranged(arg, value, -3600, 3600, o.turn, error)) return false;
    } else if (arg == "--scale") {
      if (!Ranged(arg, value, 1e-9, 1e9, o.scale, error)) return false;
    } else if (arg == "--size") {
      if (!Ranged(arg, value, 1e-6, 1e5, o.size, error)) return false;
    } else if (arg == "--up") {
      if (value != "y" && value != "z") {
        error = "--up: must be y or z";
        return false;
      }
      o.up = value[0];
    } else if (arg == "--speed") {
      if (!Ranged(arg, value, 0, 1000, o.speed, error)) return false;
    } else if (arg == "--clearance") {
      if (!Ranged(arg, value, 0, 1e5, o.clearance, error)) return false;
    } else if (arg == "--max-vertices") {
      if (!Ranged(arg, value, 3, 100001, number, error) || number != std::floor(number)) {
        if (error.empty()) error = "--max-vertices: must be a whole number";
        return false;
      }
      o.maxVertices = static_cast<long>(number);
    } else {
      error = arg + ": unknown option";
      return false;
    }
  }
  if (positional.size() != 2) {
    error = "usage: citywalk-import DIR MODEL [options] (see --help)";
    return false;
  }
  o.dir = positional[0];
  o.model = positional[1];
  for (const std::string& text : partTexts) {
    PartOption part;
    if (!ParsePart(text, o.as == ImportAs::kAvatar, part, error)) return false;
    o.parts.push_back(part);
  }
  if (!o.parts.empty() && o.as == ImportAs::kStatic) {
    error = "--part: is for --as object or avatar";
    return false;
  }
  if (o.parts.size() > 20) {
    error = "at most 20 parts";
    return false;
  }
  if (o.posts && o.as != ImportAs::kStatic) {
    error = "--posts: is for --as static";
    return false;
  }
  return true;
}
