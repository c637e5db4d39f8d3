// 24-bit BMP writer and reader.
#include "bmp.h"

#include <fstream>
#include <iterator>

#include "output_files.h"

namespace {

void Put16(std::vector<std::uint8_t>& out, unsigned value) {
  out.push_back(value & 0xFF);
  out.push_back((value >> 8) & 0xFF);
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

std::uint32_t Get32(const std::vector<std::uint8_t>& in, size_t at) {
  return in[at] | (in[at + 1] << 8) | (in[at + 2] << 16) | (std::uint32_t{in[at + 3]} << 24);
}

unsigned Get16(const std::vector<std::uint8_t>& in, size_t at) {
  return in[at] | (in[at + 1] << 8);
}

}  // namespace

std::string BmpBytes(int width, int height, const std::vector<std::uint8_t>& rgbaBottomUp) {
  if (width <= 0 || height <= 0 || rgbaBottomUp.size() < static_cast<size_t>(width) * height * 4)
    return "";
  const std::uint32_t stride = (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u;
  const std::uint32_t imageBytes = stride * static_cast<std::uint32_t>(height);
  std::vector<std::uint8_t> out;
  out.reserve(54 + imageBytes);
  out.push_back('B');
  out.push_back('M');
  Put32(out, 54 + imageBytes);
  Put32(out, 0);
  Put32(out, 54);
  Put32(out, 40);  // BITMAPINFOHEADER
  Put32(out, static_cast<std::uint32_t>(width));
  Put32(out, static_cast<std::uint32_t>(height));  // positive: bottom-up
  Put16(out, 1);
  Put16(out, 24);
  Put32(out, 0);  // no compression
  Put32(out, imageBytes);
  Put32(out, 2835);  // 72 dpi
  Put32(out, 2835);
  Put32(out, 0);
  Put32(out, 0);
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* row = rgbaBottomUp.data() + static_cast<size_t>(y) * width * 4;
    for (int x = 0; x < width; ++x) {
      out.push_back(row[x * 4 + 2]);  // BMP stores blue, green, red
      out.push_back(row[x * 4 + 1]);
      out.push_back(row[x * 4 + 0]);
    }
    for (std::uint32_t pad = static_cast<std::uint32_t>(width) * 3; pad < stride; ++pad)
      out.push_back(0);
  }
  return std::string(out.begin(), out.end());
}

bool WriteBmp(const std::string& path, int width, int height,
              const std::vector<std::uint8_t>& rgbaBottomUp) {
  const std::string bytes = BmpBytes(width, height, rgbaBottomUp);
  return !bytes.empty() && WriteFileBytes(path, bytes);
}

bool ReadBmp(const std::string& path, Picture& picture, std::string& error) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    error = "cannot open " + path;
    return false;
  }
  const std::vector<std::uint8_t> in((std::istreambuf_iterator<char>(file)),
                                     std::istreambuf_iterator<char>());
  if (in.size() < 54 || in[0] != 'B' || in[1] != 'M') {
    error = path + ": not a BMP file";
    return false;
  }
  const std::uint32_t offset = Get32(in, 10);
  const std::int32_t width = static_cast<std::int32_t>(Get32(in, 18));
  const std::int32_t rawHeight = static_cast<std::int32_t>(Get32(in, 22));
  if (Get32(in, 14) < 40 || Get16(in, 28) != 24 || Get32(in, 30) != 0) {
    error = path + ": only uncompressed 24-bit BMP files are read";
    return false;
  }
  if (width <= 0 || width > 65536 || rawHeight == 0 || rawHeight < -65536 || rawHeight > 65536) {
    error = path + ": bad image size";
    return false;
  }
  const bool topDown = rawHeight < 0;
  const int height = topDown ? -rawHeight : rawHeight;
  const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
  if (offset > in.size() || (in.size() - offset) / stride < static_cast<size_t>(height)) {
    error = path + ": pixel data shorter than the image size";
    return false;
  }
  picture.width = width;
  picture.height = height;
  picture.rgb.assign(static_cast<size_t>(width) * height * 3, 0);
  for (int y = 0; y < height; ++y) {
    const size_t source = offset + stride * static_cast<size_t>(topDown ? y : height - 1 - y);
    for (int x = 0; x < width; ++x) {
      std::uint8_t* pixel = &picture.rgb[(static_cast<size_t>(y) * width + x) * 3];
      pixel[0] = in[source + x * 3 + 2];
      pixel[1] = in[source + x * 3 + 1];
      pixel[2] = in[source + x * 3 + 0];
    }
  }
  return true;
}
