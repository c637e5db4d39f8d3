// Replay script reader.
#include "script.h"

#include <algorithm>
#include <charconv>
#include <sstream>

#include "platform/keys.h"

namespace {

constexpr long long kMaxFrame = 100000000;  // far beyond any run; keeps turn counts sane

// Parses a whole token as an integer (decimal, or hex after 0x) within [low, high].
bool ParseInt(const std::string& token, long long low, long long high, long long& value) {
  const char* first = token.data();
  const char* last = first + token.size();
  int base = 10;
  if (token.size() > 2 && token[0] == '0' && (token[1] == 'x' || token[1] == 'X')) {
    first += 2;
    base = 16;
  }
  auto [end, ec] = std::from_chars(first, last, value, base);
  return ec == std::errc() && end == last && first != last && value >= low && value <= high;
}

// A key by its name in kKeys (any case) or its virtual-key number.
bool ParseKey(std::string token, int& key) {
  std::transform(token.begin(), token.end(), token.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  for (const Key& entry : kKeys)
    if (token == entry.name) {
      key = static_cast<int>(entry.code);
      return true;
    }
  long long value = 0;
  if (!ParseInt(token, 1, 254, value)) return false;
  key = static_cast<int>(value);
  return true;
}

// The key names, as the refusal lists them: "up down ... esc".
std::string KeyNames() {
  std::string names;
  for (const Key& entry : kKeys) names += std::string(names.empty() ? "" : " ") + entry.name;
  return names;
}

}  // namespace

// Every line as an event, sorted by frame; refused at the first malformed line.
bool ParseScript(std::istream& in, std::vector<ScriptEvent>& events, std::string& error) {
  events.clear();
  std::string text;
  int lineNumber = 0;
  while (std::getline(in, text)) {
    ++lineNumber;
    if (const auto hash = text.find('#'); hash != std::string::npos) text.erase(hash);
    std::istringstream line(text);
    std::vector<std::string> tokens;
    for (std::string token; line >> token;) tokens.push_back(token);
    if (tokens.empty()) continue;
    auto fail = [&](const std::string& why) {
      error = "line " + std::to_string(lineNumber) + ": " + why;
      events.clear();
      return false;
    };
    ScriptEvent event;
    event.line = lineNumber;
    if (!ParseInt(tokens[0], 1, kMaxFrame, event.frame))
      return fail("frame number expected (1.." + std::to_string(kMaxFrame) + "), got '" +
                  tokens[0] + "'");
    if (tokens.size() < 2) return fail("event expected after the frame number");
    const std::string& name = tokens[1];
    const size_t args = tokens.size() - 2;
    auto coordinates = [&](long long low, long long high) {
      long long x = 0, y = 0;
      if (args != 2 || !ParseInt(tokens[2], low, high, x) || !ParseInt(tokens[3], low, high, y))
        return false;
      event.a = static_cast<int>(x);
      event.b = static_cast<int>(y);
      return true;
    };
    if (name == "keydown" || name == "keyup") {
      event.kind = name == "keydown" ? EventKind::KeyDown : EventKind::KeyUp;
      if (args != 1 || !ParseKey(tokens[2], event.a))
        return fail(name + " needs one key: " + KeyNames() + " or 1..254");
    } else if (name == "mousemove" || name == "lbuttondown" || name == "lbuttonup") {
      event.kind = name == "mousemove"     ? EventKind::MouseMove
                   : name == "lbuttondown" ? EventKind::LeftDown
                                           : EventKind::LeftUp;
      if (!coordinates(-32768, 32767)) return fail(name + " needs X Y (integers)");
    } else if (name == "resize") {
      event.kind = EventKind::Resize;
      if (!coordinates(0, 16384)) return fail("resize needs W H (0..16384)");
    } else if (name == "close") {
      event.kind = EventKind::Close;
      if (args != 0) return fail("close takes no arguments");
    } else {
      return fail("unknown event '" + name + "'");
    }
    events.push_back(event);
  }
  std::stable_sort(events.begin(), events.end(),
                   [](const ScriptEvent& l, const ScriptEvent& r) { return l.frame < r.frame; });
  return true;
}
