// Bitmaps by content: a BMP's bytes are compared with those of the folder's BMP files of the
// same size and with those planned before it.
#include "bitmaps.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "bmp.h"

namespace fs = std::filesystem;

namespace {

// A hash of the bitmap's bytes, for its name.
std::uint32_t ContentHash(const std::string& bytes) {
  std::uint32_t h = 2166136261u;  // FNV-1a
  for (unsigned char c : bytes) h = (h ^ c) * 16777619u;
  return h;
}

// The picture's source name as a file name's start: letters, digits, '-' and '_', at most 24.
std::string Stem(const std::string& source) {
  std::string stem;
  for (char c : fs::path(source).stem().string())
    if (stem.size() < 24) stem += std::isalnum(static_cast<unsigned char>(c)) || c == '-' ? c : '_';
  return stem.empty() ? "texture" : stem;
}

// Whether the file's name ends in .bmp, in any letter case.
bool IsBmpName(const fs::path& path) {
  std::string ext = path.extension().string();
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext == ".bmp";
}

// The whole content of a file.
std::string FileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The name of a BMP file in dir holding exactly bytes, "" when none does.
std::string FindInFolder(const std::string& dir, const std::string& bytes) {
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code sizeError;
    if (!IsBmpName(it->path()) || !it->is_regular_file(sizeError) ||
        it->file_size(sizeError) != bytes.size())
      continue;
    if (FileBytes(it->path()) == bytes) return it->path().filename().string();
  }
  return "";
}

}  // namespace

BitmapPlan PlanBitmaps(const Model& model, const std::vector<bool>& used, const std::string& dir) {
  BitmapPlan plan;
  plan.names.assign(model.pictures.size(), "");
  std::vector<std::pair<std::shared_ptr<const std::string>, std::string>> planned;
  for (std::size_t p = 0; p < model.pictures.size(); ++p) {
    if (!used[p]) continue;
    const TexturePicture& picture = model.pictures[p];
    auto bytes = std::make_shared<const std::string>(
        BmpBytes(picture.width, picture.height, picture.rgbaBottomUp));
    std::string& name = plan.names[p];
    for (const auto& [other, otherName] : planned)
      if (*other == *bytes) name = otherName;
    if (!name.empty()) continue;
    if (!(name = FindInFolder(dir, *bytes)).empty()) {
      ++plan.found;
      planned.emplace_back(bytes, name);
      continue;
    }
    char hash[16];
    std::snprintf(hash, sizeof hash, "-%08x", static_cast<unsigned>(ContentHash(*bytes)));
    const std::string stem = Stem(picture.name) + hash;
    std::error_code ec;
    auto taken = [&](const std::string& candidate) {
      for (const auto& [other, otherName] : planned)
        if (otherName == candidate) return true;
      return fs::exists(fs::path(dir) / candidate, ec);
    };
    name = stem + ".bmp";
    for (int k = 2; taken(name); ++k) name = stem + "-" + std::to_string(k) + ".bmp";
    planned.emplace_back(bytes, name);
    plan.files.push_back({(fs::path(dir) / name).string(), [bytes](const std::string& path) {
                            return WriteFileBytes(path, *bytes);
                          }});
  }
  return plan;
}
