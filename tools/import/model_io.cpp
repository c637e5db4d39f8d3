// UTF-16 text models as UTF-8.
#include "model_io.h"

#include <assimp/MemoryIOWrapper.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Appends code point c as UTF-8.
void PutUtf8(std::string& out, unsigned long c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// The UTF-8 of UTF-16 bytes after their byte-order mark; false when they are not text (an odd
// length, a lone surrogate, a NUL character).
bool Utf16ToUtf8(const std::vector<unsigned char>& bytes, bool bigEndian, std::string& out) {
  if (bytes.size() % 2 != 0) return false;
  auto unit = [&](std::size_t i) -> unsigned {
    return bigEndian ? (bytes[i] << 8) | bytes[i + 1] : bytes[i] | (bytes[i + 1] << 8);
  };
  for (std::size_t i = 2; i < bytes.size(); i += 2) {
    unsigned long c = unit(i);
    if (c == 0 || (c >= 0xDC00 && c <= 0xDFFF)) return false;
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (i + 2 >= bytes.size()) return false;
      const unsigned low = unit(i + 2);
      if (low < 0xDC00 || low > 0xDFFF) return false;
      c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
      i += 2;
    }
    PutUtf8(out, c);
  }
  return true;
}

}  // namespace

Assimp::IOStream* TextAwareIOSystem::Open(const char* path, const char* mode) {
  if (std::strchr(mode, 'w') != nullptr || std::strchr(mode, 'a') != nullptr)
    return DefaultIOSystem::Open(path, mode);
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return DefaultIOSystem::Open(path, mode);
  unsigned char mark[2] = {0, 0};
  const bool utf16 = std::fread(mark, 1, 2, file) == 2 &&
                     ((mark[0] == 0xFF && mark[1] == 0xFE) || (mark[0] == 0xFE && mark[1] == 0xFF));
  std::vector<unsigned char> bytes(mark, mark + 2);
  if (utf16) {
    unsigned char buffer[65536];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
      bytes.insert(bytes.end(), buffer, buffer + n);
  }
  std::fclose(file);
  std::string text;
  if (!utf16 || !Utf16ToUtf8(bytes, mark[0] == 0xFE, text))
    return DefaultIOSystem::Open(path, mode);
  auto* owned = new uint8_t[text.size() + 1];
  std::memcpy(owned, text.data(), text.size());
  return new Assimp::MemoryIOStream(owned, text.size(), true);
}
