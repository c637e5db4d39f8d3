// Texture lookup by path, by letter case and by the file's own name.
#include "texture_paths.h"

#include <cctype>
#include <filesystem>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool IsFile(const fs::path& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

// The entry of folder whose name is name but for letter case ("" when none is).
fs::path EntryNoCase(const fs::path& folder, const std::string& name) {
  std::error_code ec;
  if (fs::exists(folder / name, ec)) return folder / name;
  const std::string wanted = Lower(name);
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
    if (Lower(it->path().filename().string()) == wanted) return it->path();
  return {};
}

// The path's parts found one by one from folder without regard to letter case.
fs::path FindNoCase(fs::path folder, const std::vector<std::string>& parts) {
  for (const std::string& part : parts) {
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      folder /= "..";
      continue;
    }
    folder = EntryNoCase(folder, part);
    if (folder.empty()) return {};
  }
  return folder;
}

}  // namespace

std::string FindTextureFile(const std::string& modelDir, const std::string& name) {
  if (name.empty()) return "";
  const fs::path dir = modelDir.empty() ? fs::path(".") : fs::path(modelDir);
  std::string slashed = name;
  for (char& c : slashed)
    if (c == '\\') c = '/';
  const bool windowsDrive = slashed.size() > 2 &&
                            std::isalpha(static_cast<unsigned char>(slashed[0])) &&
                            slashed[1] == ':' && slashed[2] == '/';
  const bool absolute = slashed[0] == '/' || windowsDrive;
  for (const fs::path& candidate : {fs::path(name), fs::path(slashed)}) {
    const fs::path path = candidate.is_absolute() ? candidate : dir / candidate;
    if (!windowsDrive && IsFile(path)) return path.string();
  }
  std::vector<std::string> parts;
  for (std::size_t from = 0, to; from <= slashed.size(); from = to + 1) {
    to = slashed.find('/', from);
    if (to == std::string::npos) to = slashed.size();
    parts.push_back(slashed.substr(from, to - from));
  }
  if (!absolute) {
    const fs::path found = FindNoCase(dir, parts);
    if (!found.empty() && IsFile(found)) return found.string();
  }
  const fs::path own = EntryNoCase(dir, parts.back());
  return !own.empty() && IsFile(own) ? own.string() : "";
}
