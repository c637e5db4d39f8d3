// Bitmap reader: decodes Windows bitmaps (file or bare DIB) into RGB rows, bottom row first.
//
// Accepted: 12-, 40-, 108- and 124-byte headers; 1, 4 and 8 bits per pixel through the colour
// table, RLE8 and RLE4; 16 and 32 bits plain or with bit-field masks; 24 bits. Every size,
// offset, colour index and run is checked against the bytes present before it is used.
#include "scene/bitmap.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>

namespace {

const char kConversionError[] = "Image file conversion error.";
const char kUnknownFormat[] = "Unknown DIB file format.";
const char kOutOfMemory[] = "Out of memory.";

// Longest prefix of a file that is read: the largest picture at 32 bits with room for headers
// and tables. Anything after it cannot belong to an acceptable bitmap.
constexpr std::size_t kMaxFileBytes = (std::size_t(1) << 28) + (std::size_t(1) << 24);
// Largest ratio between the horizontal and vertical pixel densities of a sensible picture.
constexpr std::int64_t kMaxDensityRatio = 100;

constexpr std::uint32_t kPlainRgb = 0;
constexpr std::uint32_t kRle8 = 1;
constexpr std::uint32_t kRle4 = 2;
constexpr std::uint32_t kBitFields = 3;

// Little-endian fields of the headers and pixels.
std::uint32_t Read16(const std::uint8_t* p) { return p[0] | (p[1] << 8); }

std::uint32_t Read32(const std::uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24);
}

// One colour channel of a 16- or 32-bit pixel: where its bits sit and how many values it has.
struct ChannelMask {
  std::uint32_t mask = 0;
  int shift = 0;
  std::uint64_t maximum = 0;
};

// What the headers say about the pixel data, with every block already checked to lie in the
// file.
struct BitmapLayout {
  int width = 0;
  int height = 0;  // always positive
  bool topDown = false;
  int bitCount = 0;
  std::uint32_t compression = kPlainRgb;
  std::uint32_t masks[3] = {0, 0, 0};
  std::vector<std::uint8_t> palette;  // RGB triples, only for 1, 4 and 8 bits
  int paletteLength = 0;
  const std::uint8_t* bits = nullptr;
  std::size_t bitsSize = 0;
};

// Describes a bit-field mask, or returns false when it is empty, split or wider than the pixel.
bool DescribeMask(std::uint32_t mask, int bitCount, ChannelMask& channel) {
  if (mask == 0 || (bitCount < 32 && (mask >> bitCount) != 0)) return false;
  int shift = 0;
  while (((mask >> shift) & 1) == 0) ++shift;
  const std::uint64_t values = (std::uint64_t(mask) >> shift) + 1;
  if ((values & (values - 1)) != 0) return false;
  channel.mask = mask;
  channel.shift = shift;
  channel.maximum = values - 1;
  return true;
}

// Where a bitmap's header lies, and what it says of the sizes it does not hold in layout.
struct HeaderPlace {
  std::size_t start = 0;       // of the header: after the file header, if any
  bool fileHeader = false;     // a file ("BM") rather than a bare DIB
  std::size_t bitsOffset = 0;  // of the pixel data, as the file header gives it
  std::uint32_t size = 0;      // of the header: 12, 40, 108 or 124 bytes
  std::int64_t width = 0, height = 0;
  std::uint32_t planes = 0, tableLength = 0, masksSize = 0;
  std::size_t entryBytes = 0;  // of a colour table entry
};

// Finds the header after a file header or at the start of a bare DIB; false with message set
// when there is none we read.
bool FindHeader(const std::uint8_t* data, std::size_t size, HeaderPlace& place,
                std::string& message) {
  place.fileHeader = size >= 2 && data[0] == 'B' && data[1] == 'M';
  if (place.fileHeader) {
    if (size < 18) return false;
    // A file shorter than its header says has lost its end.
    const std::uint32_t fileSize = Read32(data + 2);
    if (fileSize > size) return false;
    place.bitsOffset = Read32(data + 10);
    place.start = 14;
  } else if (size < 4) {
    return false;
  }
  place.size = Read32(data + place.start);
  if (place.size != 12 && place.size != 40 && place.size != 108 && place.size != 124) {
    message = kUnknownFormat;
    return false;
  }
  return size - place.start >= place.size;
}

// Reads the fields of a 40-, 108- or 124-byte header; false when its pixels are not sensible
// or its masks lie beyond the file.
bool ReadInfoHeader(const std::uint8_t* header, std::size_t size, HeaderPlace& place,
                    BitmapLayout& layout) {
  place.width = std::int32_t(Read32(header + 4));
  place.height = std::int32_t(Read32(header + 8));
  place.planes = Read16(header + 12);
  layout.bitCount = Read16(header + 14);
  layout.compression = Read32(header + 16);
  const std::int64_t densityX = std::abs(std::int64_t(std::int32_t(Read32(header + 24))));
  const std::int64_t densityY = std::abs(std::int64_t(std::int32_t(Read32(header + 28))));
  const std::uint32_t colorsUsed = Read32(header + 32);
  place.entryBytes = 4;
  place.tableLength = colorsUsed != 0        ? colorsUsed
                      : layout.bitCount <= 8 ? 1u << layout.bitCount
                                             : 0;
  // Pixels a hundred times wider than high (or the reverse) belong to no real picture.
  if (densityX != 0 && densityY != 0 &&
      (densityX > kMaxDensityRatio * densityY || densityY > kMaxDensityRatio * densityX)) {
    return false;
  }
  if (layout.compression == kBitFields) {
    const std::uint8_t* masks = header + 40;
    if (place.size == 40) {
      place.masksSize = 12;
      if (size - place.start - place.size < place.masksSize) return false;
    }
    for (int c = 0; c < 3; ++c) layout.masks[c] = Read32(masks + 4 * c);
  }
  return true;
}

// Reads the header's fields into place and layout; false when they describe no picture.
bool ReadHeader(const std::uint8_t* data, std::size_t size, HeaderPlace& place,
                BitmapLayout& layout) {
  const std::uint8_t* header = data + place.start;
  if (place.size == 12) {
    place.width = Read16(header + 4);
    place.height = Read16(header + 6);
    place.planes = Read16(header + 8);
    layout.bitCount = Read16(header + 10);
    place.entryBytes = 3;
    place.tableLength = layout.bitCount <= 8 ? 1u << layout.bitCount : 0;
  } else if (!ReadInfoHeader(header, size, place, layout)) {
    return false;
  }
  if (place.planes != 1 || place.width <= 0 || place.height == 0) return false;
  layout.topDown = place.height < 0;
  const std::int64_t height = layout.topDown ? -place.height : place.height;
  if (place.width > kMaxBitmapSide || height > kMaxBitmapSide) return false;
  layout.width = int(place.width);
  layout.height = int(height);
  return true;
}

// Reads the colour table (only the first 2^bits entries can be named by a pixel) and places
// the pixel data; false when either lies beyond the file.
bool ReadTableAndBits(const std::uint8_t* data, std::size_t size, const HeaderPlace& place,
                      BitmapLayout& layout) {
  const std::size_t tableStart = place.start + place.size + place.masksSize;
  const std::uint64_t tableBytes = std::uint64_t(place.tableLength) * place.entryBytes;
  if (tableBytes > size - tableStart) return false;
  if (layout.bitCount <= 8) {
    const std::uint32_t usable = std::min<std::uint32_t>(place.tableLength, 1u << layout.bitCount);
    layout.paletteLength = int(usable);
    layout.palette.resize(std::size_t(usable) * 3);
    for (std::uint32_t i = 0; i < usable; ++i) {
      const std::uint8_t* entry = data + tableStart + i * place.entryBytes;
      layout.palette[i * 3 + 0] = entry[2];
      layout.palette[i * 3 + 1] = entry[1];
      layout.palette[i * 3 + 2] = entry[0];
    }
  }
  const std::size_t bitsOffset =
      place.fileHeader ? place.bitsOffset : tableStart + std::size_t(tableBytes);
  if (bitsOffset < place.start + place.size || bitsOffset > size) return false;
  layout.bits = data + bitsOffset;
  layout.bitsSize = size - bitsOffset;
  if (place.size != 12) {
    // The image size counts the bytes of pixel data (0: not given); more than the file holds
    // means the file lost its end. A compressed stream ends where the size says.
    const std::uint32_t imageSize = Read32(data + place.start + 20);
    if (imageSize > layout.bitsSize) return false;
    if (imageSize != 0 && (layout.compression == kRle8 || layout.compression == kRle4)) {
      layout.bitsSize = imageSize;
    }
  }
  return true;
}

// Reads the headers, colour table and masks of a bitmap into layout; false with message set
// when the bitmap cannot be decoded.
bool ReadLayout(const std::uint8_t* data, std::size_t size, BitmapLayout& layout,
                std::string& message) {
  message = kConversionError;
  HeaderPlace place;
  return FindHeader(data, size, place, message) && ReadHeader(data, size, place, layout) &&
         ReadTableAndBits(data, size, place, layout);
}

// Looks up a colour table entry for a pixel; false when the index lies beyond the table.
inline bool PutIndexed(const BitmapLayout& layout, unsigned index, std::uint8_t* out) {
  if (index >= unsigned(layout.paletteLength)) return false;
  std::memcpy(out, &layout.palette[index * 3], 3);
  return true;
}

// Scales one masked channel of a pixel to 0..255, so that the channel's largest value is 255.
inline std::uint8_t ScaleChannel(std::uint32_t pixel, const ChannelMask& channel) {
  const std::uint64_t value = (pixel & channel.mask) >> channel.shift;
  if (channel.maximum == 255) return std::uint8_t(value);
  return std::uint8_t((value * 255 + channel.maximum / 2) / channel.maximum);
}

// Decodes uncompressed rows; every row must be present in the file before the pixel block is
// allocated.
bool DecodeRows(const BitmapLayout& layout, std::vector<std::uint8_t>& image) {
  const std::uint64_t stride = ((std::uint64_t(layout.width) * layout.bitCount + 31) / 32) * 4;
  if (stride * layout.height > layout.bitsSize) return false;
  ChannelMask channels[3];
  if (layout.bitCount == 16 || layout.bitCount == 32) {
    static const std::uint32_t kDefault16[3] = {0x7c00, 0x03e0, 0x001f};
    static const std::uint32_t kDefault32[3] = {0xff0000, 0x00ff00, 0x0000ff};
    const std::uint32_t* masks = layout.compression == kBitFields ? layout.masks
                                 : layout.bitCount == 16          ? kDefault16
                                                                  : kDefault32;
    for (int c = 0; c < 3; ++c) {
      if (!DescribeMask(masks[c], layout.bitCount, channels[c])) return false;
    }
    if ((masks[0] & masks[1]) || (masks[0] & masks[2]) || (masks[1] & masks[2])) return false;
  }
  image.resize(std::size_t(layout.width) * layout.height * 3);
  std::uint8_t* pixels = image.data();
  const std::size_t width = std::size_t(layout.width);
  for (int row = 0; row < layout.height; ++row) {
    const std::uint8_t* in = layout.bits + stride * row;
    const int outRow = layout.topDown ? layout.height - 1 - row : row;
    std::uint8_t* out = pixels + std::size_t(outRow) * width * 3;
    switch (layout.bitCount) {
      case 1:
      case 4:
      case 8: {
        const int bits = layout.bitCount;
        const unsigned valueMask = (1u << bits) - 1;
        for (std::size_t x = 0; x < width; ++x, out += 3) {
          const std::size_t bit = x * bits;
          const unsigned index = (in[bit / 8] >> (8 - bits - bit % 8)) & valueMask;
          if (!PutIndexed(layout, index, out)) return false;
        }
        break;
      }
      case 24:
        for (std::size_t x = 0; x < width; ++x, in += 3, out += 3) {
          out[0] = in[2];
          out[1] = in[1];
          out[2] = in[0];
        }
        break;
      default: {
        const int bytes = layout.bitCount / 8;
        for (std::size_t x = 0; x < width; ++x, in += bytes, out += 3) {
          const std::uint32_t pixel = bytes == 2 ? Read16(in) : Read32(in);
          for (int c = 0; c < 3; ++c) out[c] = ScaleChannel(pixel, channels[c]);
        }
      }
    }
  }
  return true;
}

// Walks an RLE8 or RLE4 stream, writing its pixels when pixels is given (else only checking
// it). A run or jump leaving the picture, a missing byte or an index beyond the table refuses
// the file.
bool WalkRunLengths(const BitmapLayout& layout, std::uint8_t* pixels) {
  const bool fourBit = layout.compression == kRle4;
  const std::uint8_t* in = layout.bits;
  const std::size_t size = layout.bitsSize;
  const std::int64_t width = layout.width, height = layout.height;
  std::int64_t x = 0, y = 0;
  std::uint8_t unused[3];
  std::size_t at = 0;
  while (size - at >= 2) {
    const unsigned count = in[at], value = in[at + 1];
    at += 2;
    if (count > 0) {  // a run of one index, or of two alternating indices in RLE4
      if (y >= height || x + count > width) return false;
      std::uint8_t* out = pixels ? pixels + (y * width + x) * 3 : unused;
      for (unsigned i = 0; i < count; ++i) {
        const unsigned index = !fourBit ? value : (i & 1) ? value & 15 : value >> 4;
        if (!PutIndexed(layout, index, out)) return false;
        if (pixels) out += 3;
      }
      x += count;
    } else if (value == 0) {  // end of line
      x = 0;
      if (y < height) ++y;
    } else if (value == 1) {  // end of bitmap
      return true;
    } else if (value == 2) {  // jump right and up
      if (size - at < 2) return false;
      x += in[at];
      y += in[at + 1];
      at += 2;
      if (x > width || y >= height) return false;
    } else {  // a literal run of value indices, padded to a 16-bit boundary
      const std::size_t bytes = fourBit ? (value + 1) / 2 : value;
      if (size - at < bytes || y >= height || x + value > width) return false;
      std::uint8_t* out = pixels ? pixels + (y * width + x) * 3 : unused;
      for (unsigned i = 0; i < value; ++i) {
        const unsigned byte = in[at + (fourBit ? i / 2 : i)];
        const unsigned index = !fourBit ? byte : (i & 1) ? byte & 15 : byte >> 4;
        if (!PutIndexed(layout, index, out)) return false;
        if (pixels) out += 3;
      }
      x += value;
      at = std::min(size, at + bytes + (bytes & 1));
    }
  }
  // A stream without its end-of-bitmap code is whole only when every row was ended.
  return y >= height;
}

// Decodes an RLE8 or RLE4 bitmap. The whole stream is checked before the pixel block is
// allocated; pixels the stream skips keep colour 0 of the table.
bool DecodeRunLengths(const BitmapLayout& layout, std::vector<std::uint8_t>& image) {
  if (!WalkRunLengths(layout, nullptr)) return false;
  const std::size_t count = std::size_t(layout.width) * std::size_t(layout.height);
  image.resize(count * 3);
  std::uint8_t* pixels = image.data();
  for (std::size_t p = 0; p < count; ++p) std::memcpy(pixels + p * 3, layout.palette.data(), 3);
  return WalkRunLengths(layout, pixels);
}

}  // namespace

bool DecodeBitmap(const std::uint8_t* data, std::size_t size, ImageRecord& image,
                  std::string& message) {
  BitmapLayout layout;
  try {
    if (!ReadLayout(data, size, layout, message)) return false;
    message = kConversionError;
    const std::uint32_t c = layout.compression;
    const int b = layout.bitCount;
    const bool rle = (c == kRle8 && b == 8) || (c == kRle4 && b == 4);
    const bool plain =
        c == kPlainRgb && (b == 1 || b == 4 || b == 8 || b == 16 || b == 24 || b == 32);
    const bool fields = c == kBitFields && (b == 16 || b == 32);
    // Compressed bitmaps cannot be stored top-down.
    if (!(rle || plain || fields) || (rle && layout.topDown)) return false;
    std::vector<std::uint8_t> pixels;
    if (!(rle ? DecodeRunLengths(layout, pixels) : DecodeRows(layout, pixels))) return false;
    image.width = layout.width;
    image.height = layout.height;
    image.pixels = std::move(pixels);
  } catch (const std::bad_alloc&) {
    message = kOutOfMemory;
    return false;
  }
  message.clear();
  return true;
}

bool ReadBitmapFile(const char* fileName, ImageRecord& image, std::string& message) {
  std::FILE* file = std::fopen(fileName, "rb");
  std::vector<std::uint8_t> data;
  bool read = file != nullptr;
  if (read) {
    try {
      if (std::fseek(file, 0, SEEK_END) == 0) {
        const long length = std::ftell(file);
        if (length > 0) data.reserve(std::min(std::size_t(length), kMaxFileBytes));
        std::rewind(file);
      }
      std::uint8_t chunk[65536];
      std::size_t got;
      while (data.size() < kMaxFileBytes &&
             (got = std::fread(chunk, 1, std::min(sizeof chunk, kMaxFileBytes - data.size()),
                               file)) > 0) {
        data.insert(data.end(), chunk, chunk + got);
      }
      read = !std::ferror(file);
    } catch (const std::bad_alloc&) {
      std::fclose(file);
      message = kOutOfMemory;
      return false;
    }
    std::fclose(file);
  }
  if (!read) {
    message = std::string("Failed to open DIB file ") + fileName + ".\n";
    return false;
  }
  return DecodeBitmap(data.data(), data.size(), image, message);
}

std::string TextureFilePath(const std::string& folder, const std::string& name) {
  const std::string asWritten = (name.empty() || name[0] == '/') ? name : folder + name;
#ifndef _WIN32
  if (name.find('\\') != std::string::npos) {
    std::error_code error;
    if (!std::filesystem::exists(asWritten, error)) {
      std::string path = asWritten;
      std::replace(path.begin() + static_cast<std::ptrdiff_t>(asWritten.size() - name.size()),
                   path.end(), '\\', '/');
      return path;
    }
  }
#endif
  return asWritten;
}
