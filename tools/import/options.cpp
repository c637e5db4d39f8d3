// Reading citywalk-import's command line, each value checked against its range.
#include "options.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "command_options.h"
#include "scene/scene.h"

namespace {

// A finite number filling the whole of text.
bool Number(const std::string& text, double& value) {
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, value);
  return result.ec == std::errc() && result.ptr == end && std::isfinite(value);
}

// text's pieces between the separators.
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

// A number in its shortest exact form.
std::string Text(double value) {
  char buffer[32];
  return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

// One option's value as a number within [low, high].
bool Ranged(const std::string& text, double low, double high, double& value, std::string& error) {
  if (!Number(text, value) || value < low || value > high) {
    error = "must be a number from " + Text(low) + " to " + Text(high) + " (got '" + text + "')";
    return false;
  }
  return true;
}

// --as: what the model becomes.
bool As(ImportOptions& o, const std::string& value, std::string& error) {
  const std::pair<const char*, ImportAs> kinds[] = {
      {"static", ImportAs::kStatic}, {"object", ImportAs::kObject}, {"avatar", ImportAs::kAvatar}};
  for (const auto& [name, kind] : kinds)
    if (value == name) {
      o.as = kind;
      return true;
    }
  error = "must be static, object or avatar";
  return false;
}

// --at X,Z.
bool At(ImportOptions& o, const std::string& value, std::string& error) {
  const std::vector<std::string> xz = Split(value, ',');
  if (xz.size() == 2 && Ranged(xz[0], -1e5, 1e5, o.atX, error) &&
      Ranged(xz[1], -1e5, 1e5, o.atZ, error))
    return true;
  if (error.empty()) error = "wants X,Z";
  return false;
}

// --unit: the length of one file unit in metres.
bool Unit(ImportOptions& o, const std::string& value, std::string& error) {
  const std::pair<const char*, double> units[] = {
      {"m", 1}, {"cm", 0.01}, {"mm", 0.001}, {"in", 0.0254}, {"ft", 0.3048}};
  for (const auto& [name, metres] : units)
    if (value == name) {
      o.metresPerUnit = metres;
      o.unitName = value;
      return true;
    }
  error = "must be m, cm, mm, in or ft";
  return false;
}

// --up y|z.
bool Up(ImportOptions& o, const std::string& value, std::string& error) {
  if (value != "y" && value != "z") {
    error = "must be y or z";
    return false;
  }
  o.up = value[0];
  return true;
}

// --max-vertices: a whole number up to the static list's capacity.
bool MaxVertices(ImportOptions& o, const std::string& value, std::string& error) {
  double number = 0;
  if (!Ranged(value, 3, kStaticNameSlots, number, error) || number != std::floor(number)) {
    if (error.empty()) error = "must be a whole number";
    return false;
  }
  o.maxVertices = static_cast<long>(number);
  return true;
}

// --part, kept as given until --as is known.
bool Part(ImportOptions& o, const std::string& value, std::string&) {
  o.partTexts.push_back(value);
  return true;
}

using Apply = bool (*)(ImportOptions&, const std::string&, std::string&);

// A flag that sets member.
template <bool ImportOptions::*Member>
bool Flag(ImportOptions& o, const std::string&, std::string&) {
  return o.*Member = true;
}

// The options, each row with its usage and how it is read into ImportOptions.
constexpr struct {
  const char* name;
  const char* value;  // "" for a flag
  const char* help;
  Apply apply;
} kOptions[] = {
    {"--as", "static|object|avatar", "scenery (default), a moving object, or your own model", As},
    {"--part", "NODE:AXIS:DEGREES:FRAMES[:ROWS]",
     "the meshes under NODE swing about AXIS\n(objects: while moving; avatar: in ROWS, default "
     "1,2)",
     Part},
    {"--at", "X,Z", "where the model stands (default 0,0)", At},
    {"--heading", "DEG", "its heading (default 0: its front faces -z)",
     [](ImportOptions& o, const std::string& v, std::string& e) {
       return Ranged(v, -3600.0, 3600.0, o.heading, e);
     }},
    {"--turn", "DEG",
     "turns the model itself first, for a model whose front\nis not the file's front (-90: a "
     "front along +x)",
     [](ImportOptions& o, const std::string& v, std::string& e) {
       return Ranged(v, -3600.0, 3600.0, o.turn, e);
     }},
    {"--scale", "S", "file units to scene units (10 a metre)",
     [](ImportOptions& o, const std::string& v, std::string& e) {
       return Ranged(v, 1e-9, 1e9, o.scale, e);
     }},
    {"--size", "L", "or: the largest horizontal extent in scene units",
     [](ImportOptions& o, const std::string& v, std::string& e) {
       return Ranged(v, 1e-6, 1e5, o.size, e);
     }},
    {"--unit", "m|cm|mm|in|ft",
     "or: the file's unit, where the file does not say\n(glTF, X3D, Collada and FBX do)", Unit},
    {"--up", "y|z", "the source's up axis when the file does not say", Up},
    {"--posts", "", "ring the model's footprint with posts (static only)",
     Flag<&ImportOptions::posts>},
    {"--speed", "V", "an object's top speed (default 1)",
     [](ImportOptions& o, const std::string& v, std::string& e) {
       return Ranged(v, 0.0, 1000.0, o.speed, e);
     }},
    {"--clearance", "C", "an object's clearance (default half its smaller width)",
     [](ImportOptions& o, const std::string& v, std::string& e) {
       return Ranged(v, 0.0, 1e5, o.clearance, e);
     }},
    {"--avoid-posts", "", "the object steers around the posts", Flag<&ImportOptions::avoidPosts>},
    {"--max-vertices", "N", "at most N vertices for the model", MaxVertices},
    {"--verbose", "", "a line for each mesh", Flag<&ImportOptions::verbose>},
    {"--memory-limit", "MIB", "the reading's memory (default half the machine's)",
     [](ImportOptions& o, const std::string& v, std::string& e) {
       return Ranged(v, 64.0, 1048576.0, o.memoryLimitMiB, e);
     }},
    {"--time-limit", "S", "the reading's time (default 300 seconds)",
     [](ImportOptions& o, const std::string& v, std::string& e) {
       return Ranged(v, 1.0, 86400.0, o.timeLimitSeconds, e);
     }},
};

// The checks that need every option: the parts, read once --as is known, and which options
// go with which kind of model.
bool CheckCombination(ImportOptions& o, std::string& error) {
  for (const std::string& text : o.partTexts) {
    PartOption part;
    if (!ParsePart(text, o.as == ImportAs::kAvatar, part, error)) return false;
    o.parts.push_back(part);
  }
  if (!o.parts.empty() && o.as == ImportAs::kStatic) {
    error = "--part: is for --as object or avatar";
    return false;
  }
  if (o.parts.size() > static_cast<std::size_t>(kPartSlots)) {
    error = "--part: at most " + std::to_string(kPartSlots) + " parts";
    return false;
  }
  if (o.posts && o.as != ImportAs::kStatic) {
    error = "--posts: is for --as static";
    return false;
  }
  return true;
}

}  // namespace

CommandLine ImportCommandLine(ImportOptions& o, std::vector<std::string>& operands) {
  CommandLine line{"citywalk-import", "DIR MODEL", {}, nullptr};
  line.brief = true;
  line.about =
      "Adds the model (OBJ, glTF, Collada, 3DS, FBX, PLY, STL, AC3D, ...) to the scene "
      "DIR/Город.mts,\nstarting a new scene (and the folder) when DIR has none. Its textures "
      "may be PNG, JPEG, BMP,\nTGA, SGI (.rgb), DDS, TIFF, PSD or GIF.\n";
  line.statuses = "Exit status: 0 done, 1 refused input, 2 missing file.\n";
  for (const auto& row : kOptions)
    line.options.push_back(
        {row.name, row.value, row.help, [&o, row](const std::string& value, std::string& error) {
           if (row.apply(o, value, error)) return true;
           if (error.rfind(row.name, 0) != 0) error = std::string(row.name) + ": " + error;
           return false;
         }});
  line.operand = [&operands](const std::string& word, std::string&) {
    operands.push_back(word);
    return true;
  };
  return line;
}

bool CheckImportOptions(ImportOptions& o, const std::vector<std::string>& operands,
                        std::string& error) {
  if (operands.size() != 2) {
    error = "usage: citywalk-import DIR MODEL [options] (see --help)";
    return false;
  }
  o.dir = operands[0];
  o.model = operands[1];
  return CheckCombination(o, error);
}
