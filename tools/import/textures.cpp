// Decoding with stb_image and ImageMagick, and scaling by area averages.
#include "textures.h"

#include <magick/MagickCore.h>
#include <stb/stb_image.h>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

// The readers ImageMagick may use: the formats above and nothing else (no delegates, no
// file names taken from the data), and no picture larger than kMaxSourceSide a side.
constexpr char kMagickPolicy[] =
    "<policymap>"
    "<policy domain=\"coder\" rights=\"none\" pattern=\"*\"/>"
    "<policy domain=\"coder\" rights=\"read\" pattern=\"{SGI,DDS,TGA,TIFF,PSD,BMP,GIF,PNG,JPEG}\"/>"
    "<policy domain=\"delegate\" rights=\"none\" pattern=\"*\"/>"
    "<policy domain=\"path\" rights=\"none\" pattern=\"@*\"/>"
    "</policymap>";

// Starts ImageMagick once, with the policy and limits above, one thread and no pixel cache on
// disk.
void StartMagick() {
  static bool started = false;
  if (started) return;
  started = true;
  MagickCoreGenesis(nullptr, MagickFalse);
  ExceptionInfo* exception = AcquireExceptionInfo();
  SetMagickSecurityPolicy(kMagickPolicy, exception);
  DestroyExceptionInfo(exception);
  SetMagickResourceLimit(WidthResource, kMaxSourceSide);
  SetMagickResourceLimit(HeightResource, kMaxSourceSide);
  SetMagickResourceLimit(ThreadResource, 1);
  SetMagickResourceLimit(DiskResource, 0);
}

bool StartsWith(std::span<const std::uint8_t> bytes, const char* signature, std::size_t n) {
  return bytes.size() >= n && std::memcmp(bytes.data(), signature, n) == 0;
}

bool EndsWithNoCase(const std::string& name, const std::string& ending) {
  if (name.size() < ending.size()) return false;
  for (std::size_t i = 0; i < ending.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(name[name.size() - ending.size() + i])) !=
        ending[i])
      return false;
  return true;
}

// The reader's reason without the place in its source that ImageMagick appends.
std::string MagickReason(const ExceptionInfo* exception, const char* format) {
  std::string reason = exception->reason ? exception->reason : "";
  if (reason.find(" `") != std::string::npos) reason.resize(reason.find(" `"));
  if (std::strcmp(format, "DDS") == 0 && reason.find("not supported") != std::string::npos)
    return "a kind of DDS it does not read (it reads uncompressed and DXT1, DXT3, DXT5)";
  return reason.empty() ? "not a " + std::string(format) + " picture it reads" : reason;
}

}  // namespace

const char* PictureFormat(std::span<const std::uint8_t> bytes, const std::string& name) {
  if (StartsWith(bytes, "\x89PNG", 4)) return "PNG";
  if (StartsWith(bytes, "\xFF\xD8\xFF", 3)) return "JPEG";
  if (StartsWith(bytes, "\x01\xDA", 2)) return "SGI";
  if (StartsWith(bytes, "DDS ", 4)) return "DDS";
  if (StartsWith(bytes, "II*\0", 4) || StartsWith(bytes, "MM\0*", 4)) return "TIFF";
  if (StartsWith(bytes, "8BPS", 4)) return "PSD";
  if (StartsWith(bytes, "BM", 2)) return "BMP";
  if (StartsWith(bytes, "GIF8", 4)) return "GIF";
  for (const char* ending : {".tga", ".vda", ".icb", ".vst"})
    if (EndsWithNoCase(name, ending)) return "TGA";
  return nullptr;
}

bool DecodeWithStb(std::span<const std::uint8_t> bytes, int& width, int& height,
                   std::vector<std::uint8_t>& rgba, std::string& error) {
  int channels = 0;
  const int size = static_cast<int>(std::min<std::size_t>(bytes.size(), 0x7FFFFFFF));
  if (!stbi_info_from_memory(bytes.data(), size, &width, &height, &channels) ||
      width > kMaxSourceSide || height > kMaxSourceSide) {
    error = width > kMaxSourceSide || height > kMaxSourceSide
                ? "larger than " + std::to_string(kMaxSourceSide) + " pixels a side"
                : std::string(stbi_failure_reason() ? stbi_failure_reason() : "unreadable");
    return false;
  }
  unsigned char* pixels = stbi_load_from_memory(bytes.data(), size, &width, &height, &channels, 4);
  if (pixels == nullptr) {
    error = stbi_failure_reason() ? stbi_failure_reason() : "unreadable";
    return false;
  }
  rgba.assign(pixels, pixels + static_cast<std::size_t>(width) * height * 4);
  stbi_image_free(pixels);
  return true;
}

bool DecodeWithMagick(std::span<const std::uint8_t> bytes, const char* format, int& width,
                      int& height, std::vector<std::uint8_t>& rgba, std::string& error) {
  StartMagick();
  ExceptionInfo* exception = AcquireExceptionInfo();
  ImageInfo* info = AcquireImageInfo();
  // The format named explicitly: the reader is the one for it, not one the data asks for.
  CopyMagickString(info->magick, format, MaxTextExtent);
  CopyMagickString(info->filename, (std::string(format) + ":texture").c_str(), MaxTextExtent);
  Image* image = BlobToImage(info, bytes.data(), bytes.size(), exception);
  bool ok = image != nullptr;
  if (ok) {
    width = static_cast<int>(image->columns);
    height = static_cast<int>(image->rows);
    rgba.assign(static_cast<std::size_t>(width) * height * 4, 0);
    ok = ExportImagePixels(image, 0, 0, image->columns, image->rows, "RGBA", CharPixel, rgba.data(),
                           exception) != MagickFalse;
  }
  if (!ok) error = MagickReason(exception, format);
  if (image) DestroyImageList(image);
  DestroyImageInfo(info);
  DestroyExceptionInfo(exception);
  return ok;
}

TexturePicture PictureFromTopDown(const std::uint8_t* rows, int width, int height) {
  const double factor =
      std::max(1.0, std::max(width, height) / static_cast<double>(kMaxTextureSide));
  TexturePicture out;
  out.width = std::max(1, static_cast<int>(width / factor));
  out.height = std::max(1, static_cast<int>(height / factor));
  out.rgbaBottomUp.resize(static_cast<std::size_t>(out.width) * out.height * 4);
  for (int y = 0; y < out.height; ++y) {
    const int y0 = static_cast<int>(static_cast<long long>(y) * height / out.height);
    const int y1 =
        std::max(y0 + 1, static_cast<int>(static_cast<long long>(y + 1) * height / out.height));
    for (int x = 0; x < out.width; ++x) {
      const int x0 = static_cast<int>(static_cast<long long>(x) * width / out.width);
      const int x1 =
          std::max(x0 + 1, static_cast<int>(static_cast<long long>(x + 1) * width / out.width));
      unsigned long sum[4] = {0, 0, 0, 0};
      for (int sy = y0; sy < y1; ++sy)
        for (int sx = x0; sx < x1; ++sx)
          for (int c = 0; c < 4; ++c)
            sum[c] += rows[(static_cast<std::size_t>(sy) * width + sx) * 4 + c];
      const unsigned long n = static_cast<unsigned long>((y1 - y0) * (x1 - x0));
      // Row y from the top is row height - 1 - y from the bottom.
      std::uint8_t* to =
          &out.rgbaBottomUp[(static_cast<std::size_t>(out.height - 1 - y) * out.width + x) * 4];
      for (int c = 0; c < 4; ++c) to[c] = static_cast<std::uint8_t>((sum[c] + n / 2) / n);
    }
  }
  return out;
}

bool DecodePicture(std::span<const std::uint8_t> bytes, const std::string& name,
                   TexturePicture& picture, std::string& error) {
  const char* format = PictureFormat(bytes, name);
  if (format == nullptr) {
    error = bytes.empty() ? "the file is empty" : "not a picture format it reads";
    return false;
  }
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgba;
  // stb_image first where it is the faster; ImageMagick for what it cannot read (a JPEG in
  // CMYK or with arithmetic coding, for one).
  const bool stb = std::strcmp(format, "PNG") == 0 || std::strcmp(format, "JPEG") == 0;
  if (!(stb && DecodeWithStb(bytes, width, height, rgba, error)) &&
      !DecodeWithMagick(bytes, format, width, height, rgba, error))
    return false;
  picture = PictureFromTopDown(rgba.data(), width, height);
  picture.name = name;
  return true;
}
