// Bitmap reader: the public BMP Suite pictures, hand-built bitmaps of every accepted kind, and
// hostile files (truncated, mutated) that must be refused without a crash.
#include "scene/bitmap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "platform/headless.h"
#include "render/textures.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Rgb = std::array<std::uint8_t, 3>;

const std::string kSuite = std::string(CITYWALK_TEST_DATA) + "/bmp/";
const char* const kMessages[] = {"Image file conversion error.", "Unknown DIB file format.",
                                 "Out of memory."};

bool IsRefusalMessage(const std::string& message) {
  for (const char* known : kMessages) {
    if (message == known) return true;
  }
  return false;
}

Bytes ReadAll(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void Put16(Bytes& out, unsigned value) {
  out.push_back(value & 0xff);
  out.push_back((value >> 8) & 0xff);
}

void Put32(Bytes& out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back((value >> (8 * i)) & 0xff);
}

// A bitmap to build byte by byte, as a writer following the format would.
struct BitmapSpec {
  int headerSize = 40;  // 12, 40, 108 or 124
  bool fileHeader = true;
  int width = 0;
  int height = 0;
  int bitCount = 24;
  std::uint32_t compression = 0;
  std::uint32_t colorsUsed = 0;
  std::uint32_t imageSize = 0;
  std::vector<Rgb> palette;          // written as the colour table
  std::vector<std::uint32_t> masks;  // red, green, blue: after a 40-byte header or inside
  Bytes bits;                        // rows or stream exactly as stored
};

Bytes BuildBitmap(const BitmapSpec& plan) {
  Bytes dib;
  Put32(dib, plan.headerSize);
  if (plan.headerSize == 12) {
    Put16(dib, plan.width);
    Put16(dib, plan.height);
    Put16(dib, 1);
    Put16(dib, plan.bitCount);
  } else {
    Put32(dib, std::uint32_t(plan.width));
    Put32(dib, std::uint32_t(plan.height));
    Put16(dib, 1);
    Put16(dib, plan.bitCount);
    Put32(dib, plan.compression);
    Put32(dib, plan.imageSize);
    Put32(dib, 2835);
    Put32(dib, 2835);
    Put32(dib, plan.colorsUsed);
    Put32(dib, 0);
    if (plan.headerSize > 40) {
      for (int i = 0; i < 3; ++i) Put32(dib, plan.masks.empty() ? 0 : plan.masks[i]);
      dib.resize(plan.headerSize, 0);  // alpha mask, colour space, profile: unused
    } else {
      for (std::uint32_t mask : plan.masks) Put32(dib, mask);
    }
  }
  for (const Rgb& colour : plan.palette) {
    dib.push_back(colour[2]);
    dib.push_back(colour[1]);
    dib.push_back(colour[0]);
    if (plan.headerSize != 12) dib.push_back(0);
  }
  const std::size_t bitsOffset = dib.size() + (plan.fileHeader ? 14 : 0);
  dib.insert(dib.end(), plan.bits.begin(), plan.bits.end());
  if (!plan.fileHeader) return dib;
  Bytes file = {'B', 'M'};
  Put32(file, std::uint32_t(14 + dib.size()));
  Put32(file, 0);
  Put32(file, std::uint32_t(bitsOffset));
  file.insert(file.end(), dib.begin(), dib.end());
  return file;
}

// Decodes, expecting success.
ImageRecord Decode(const Bytes& data) {
  ImageRecord image;
  std::string message;
  EXPECT_TRUE(DecodeBitmap(data.data(), data.size(), image, message)) << message;
  return image;
}

// Decodes, expecting a refusal; returns the message.
std::string Refusal(const Bytes& data) {
  ImageRecord image;
  std::string message;
  EXPECT_FALSE(DecodeBitmap(data.data(), data.size(), image, message));
  return message;
}

// The RGB pixels of an image given as colour table indices, bottom row first.
Bytes Expand(const std::vector<Rgb>& palette, const std::vector<int>& indices) {
  Bytes out;
  for (int index : indices) out.insert(out.end(), palette[index].begin(), palette[index].end());
  return out;
}

const std::vector<Rgb> kPalette = {{10, 20, 30}, {200, 100, 50}, {1, 2, 3}, {255, 0, 128}};

// ---- The BMP Suite -------------------------------------------------------------------------

// A binary PPM (P6, maxval 255) flipped to bottom row first.
bool ReadPpmBottomUp(const std::string& path, int& width, int& height, Bytes& pixels) {
  std::ifstream file(path, std::ios::binary);
  std::string magic;
  int maxValue = 0;
  file >> magic >> width >> height >> maxValue;
  file.get();
  if (magic != "P6" || maxValue != 255 || !file) return false;
  Bytes topDown(std::size_t(width) * height * 3);
  file.read(reinterpret_cast<char*>(topDown.data()), std::streamsize(topDown.size()));
  if (!file) return false;
  pixels.clear();
  for (int row = height - 1; row >= 0; --row) {
    auto begin = topDown.begin() + std::size_t(row) * width * 3;
    pixels.insert(pixels.end(), begin, begin + std::size_t(width) * 3);
  }
  return true;
}

TEST(BitmapSuite, GoodFilesDecodeToTheirReferencePictures) {
  std::ifstream manifest(kSuite + "manifest.txt");
  std::string bitmap, reference;
  int checked = 0;
  while (manifest >> bitmap >> reference) {
    SCOPED_TRACE(bitmap);
    ImageRecord image;
    std::string message;
    ASSERT_TRUE(ReadBitmapFile((kSuite + bitmap).c_str(), image, message)) << message;
    ++checked;
    if (reference == "-") continue;
    int width = 0, height = 0;
    Bytes expected;
    ASSERT_TRUE(ReadPpmBottomUp(kSuite + reference, width, height, expected));
    EXPECT_EQ(image.width, width);
    EXPECT_EQ(image.height, height);
    EXPECT_TRUE(image.pixels == expected);
  }
  EXPECT_EQ(checked, 27);

  // The non-square picture is the 8-bit picture at half height: same colours, same top row.
  ImageRecord squashed, full;
  std::string message;
  ASSERT_TRUE(ReadBitmapFile((kSuite + "g/pal8nonsquare.bmp").c_str(), squashed, message));
  ASSERT_TRUE(ReadBitmapFile((kSuite + "g/pal8.bmp").c_str(), full, message));
  EXPECT_EQ(squashed.width, 127);
  EXPECT_EQ(squashed.height, 32);
  ASSERT_EQ(squashed.pixels.size(), 127u * 32 * 3);
  const std::size_t row = 127 * 3;
  EXPECT_TRUE(
      std::equal(squashed.pixels.end() - row, squashed.pixels.end(), full.pixels.end() - row));
}

TEST(BitmapSuite, BadFilesAreRefused) {
  const char* const files[] = {"badbitcount", "badbitssize",   "baddens1",       "baddens2",
                               "badfilesize", "badheadersize", "badpalettesize", "badplanes",
                               "badrle",      "badrle4",       "badrle4bis",     "badrle4ter",
                               "badrlebis",   "badrleter",     "badwidth",       "pal8badindex",
                               "reallybig",   "rgb16-880",     "rletopdown",     "shortfile"};
  for (const char* name : files) {
    SCOPED_TRACE(name);
    ImageRecord image;
    std::string message;
    EXPECT_FALSE(ReadBitmapFile((kSuite + "b/" + name + ".bmp").c_str(), image, message));
    EXPECT_TRUE(IsRefusalMessage(message)) << message;
    EXPECT_EQ(message == "Unknown DIB file format.", std::string(name) == "badheadersize");
  }
}

// ---- Hand-built bitmaps --------------------------------------------------------------------

TEST(BitmapDecode, RowsArePackedInFileOrderWhicheverWayTheyAreStored) {
  // 3 x 2 at 24 bits: 9 bytes of pixels and 3 of padding per stored row.
  BitmapSpec plan;
  plan.width = 3;
  plan.height = 2;
  plan.bits = {1,  2,  3,  4,  5,  6,  7,  8,  9,  0xee, 0xee, 0xee,  // bottom row, blue first
               11, 12, 13, 14, 15, 16, 17, 18, 19, 0xee, 0xee, 0xee};
  const Bytes expected = {3, 2, 1, 6, 5, 4, 9, 8, 7, 13, 12, 11, 16, 15, 14, 19, 18, 17};
  ImageRecord image = Decode(BuildBitmap(plan));
  EXPECT_EQ(image.width, 3);
  EXPECT_EQ(image.height, 2);
  EXPECT_EQ(image.pixels, expected);

  // The same picture stored top-down gives the same record.
  plan.height = -2;
  plan.bits = {11, 12, 13, 14, 15, 16, 17, 18, 19, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0};
  image = Decode(BuildBitmap(plan));
  EXPECT_EQ(image.height, 2);
  EXPECT_EQ(image.pixels, expected);

  // One row short: refused before anything is decoded.
  plan.bits.resize(12);
  EXPECT_EQ(Refusal(BuildBitmap(plan)), "Image file conversion error.");

  // The image size counts the pixel bytes: more than the file holds is a file cut short,
  // fewer does not hide rows that are there.
  plan.bits.resize(24, 0);
  plan.imageSize = 25;
  EXPECT_EQ(Refusal(BuildBitmap(plan)), "Image file conversion error.");
  plan.imageSize = 18;
  EXPECT_EQ(Decode(BuildBitmap(plan)).pixels.size(), 18u);

  // At most 8192 pixels a side, even where a short stream could describe more: a file of
  // about a kilobyte that declares 16384 x 16384 and ends its stream at once would otherwise
  // ask for 805 MB of pixels.
  BitmapSpec wide;
  wide.bitCount = 8;
  wide.compression = 1;
  wide.palette = kPalette;
  wide.colorsUsed = 4;
  wide.bits = {0, 1};
  wide.height = 1;
  wide.width = 8192;
  EXPECT_EQ(Decode(BuildBitmap(wide)).pixels.size(), 8192u * 3);
  wide.width = 8193;
  EXPECT_EQ(Refusal(BuildBitmap(wide)), "Image file conversion error.");
  wide.width = 1;
  wide.height = 8193;
  EXPECT_EQ(Refusal(BuildBitmap(wide)), "Image file conversion error.");
  wide.width = wide.height = 16384;
  const Bytes tiny = BuildBitmap(wide);
  EXPECT_LT(tiny.size(), 1100u);
  EXPECT_EQ(Refusal(tiny), "Image file conversion error.");
}

TEST(BitmapDecode, EveryHeaderKindReadsTheSamePaletteBitmap) {
  // 5 x 2 at 8 bits through a 4-entry table; rows padded to 8 bytes.
  BitmapSpec plan;
  plan.width = 5;
  plan.height = 2;
  plan.bitCount = 8;
  plan.palette = kPalette;
  plan.colorsUsed = 4;
  plan.bits = {0, 1, 2, 3, 0, 9, 9, 9, 3, 3, 2, 1, 1, 9, 9, 9};
  const Bytes expected = Expand(kPalette, {0, 1, 2, 3, 0, 3, 3, 2, 1, 1});
  for (int headerSize : {12, 40, 108, 124}) {
    for (bool fileHeader : {true, false}) {
      SCOPED_TRACE(testing::Message() << headerSize << (fileHeader ? " file" : " bare DIB"));
      BitmapSpec variant = plan;
      variant.headerSize = headerSize;
      variant.fileHeader = fileHeader;
      if (headerSize == 12) {  // the core header's table is always 2^bits entries long
        variant.palette.resize(256, Rgb{0, 0, 0});
      }
      EXPECT_EQ(Decode(BuildBitmap(variant)).pixels, expected);
    }
  }

  // Colours used 0 means a full table of 2^bits entries: a bare DIB's bits follow all 256.
  plan.fileHeader = false;
  plan.colorsUsed = 0;
  plan.palette.resize(256, Rgb{7, 7, 7});
  EXPECT_EQ(Decode(BuildBitmap(plan)).pixels, expected);

  // Other header sizes are an unknown format; a header cut short is not.
  Bytes odd = BuildBitmap(plan);
  odd[0] = 64;
  EXPECT_EQ(Refusal(odd), "Unknown DIB file format.");
  odd[0] = 40;
  odd.resize(30);
  EXPECT_EQ(Refusal(odd), "Image file conversion error.");
}

TEST(BitmapDecode, OneAndFourBitPixelsAndIndicesBeyondTheTable) {
  BitmapSpec plan;
  plan.width = 9;
  plan.height = 1;
  plan.bitCount = 1;
  plan.palette = {kPalette[1], kPalette[2]};
  plan.bits = {0b10110001, 0b10000000, 0, 0};  // leftmost pixel in the high bit
  EXPECT_EQ(Decode(BuildBitmap(plan)).pixels, Expand(plan.palette, {1, 0, 1, 1, 0, 0, 0, 1, 1}));

  plan.bitCount = 4;
  plan.width = 3;
  plan.palette = kPalette;
  plan.colorsUsed = 4;
  plan.bits = {0x31, 0x20, 0, 0};  // high nibble first
  EXPECT_EQ(Decode(BuildBitmap(plan)).pixels, Expand(kPalette, {3, 1, 2}));

  // A table of 3 colours cannot show index 3.
  plan.colorsUsed = 3;
  plan.palette.resize(3);
  EXPECT_EQ(Refusal(BuildBitmap(plan)), "Image file conversion error.");
  plan.bits = {0x21, 0x00, 0, 0};
  EXPECT_EQ(Decode(BuildBitmap(plan)).pixels, Expand(kPalette, {2, 1, 0}));

  // A colour table reaching past the end of the file.
  plan.colorsUsed = 1000000;
  EXPECT_EQ(Refusal(BuildBitmap(plan)), "Image file conversion error.");
}

// The 8-bit value of an n-bit channel value: its share of the channel's range, rounded.
std::uint8_t Scaled(unsigned value, int bits) {
  const double maximum = (1u << bits) - 1;
  return std::uint8_t(std::lround(value * 255.0 / maximum));
}

TEST(BitmapDecode, SixteenAndThirtyTwoBitChannelsScaleToTheFullRange) {
  // 5-5-5: white, 16/9/1, black; 2 bytes a pixel, little-endian.
  BitmapSpec plan;
  plan.width = 3;
  plan.height = 1;
  plan.bitCount = 16;
  const unsigned mid = (16 << 10) | (9 << 5) | 1;
  plan.bits = {0xff, 0x7f, std::uint8_t(mid & 0xff), std::uint8_t(mid >> 8), 0, 0, 0, 0};
  Bytes expected = {255, 255, 255, Scaled(16, 5), Scaled(9, 5), Scaled(1, 5), 0, 0, 0};
  EXPECT_EQ(Decode(BuildBitmap(plan)).pixels, expected);

  // 5-6-5 through bit-field masks, after a 40-byte header and inside a 124-byte one.
  plan.compression = 3;
  plan.masks = {0xf800, 0x07e0, 0x001f};
  const unsigned mid565 = (16 << 11) | (40 << 5) | 1;
  plan.bits = {0xff, 0xff, std::uint8_t(mid565 & 0xff), std::uint8_t(mid565 >> 8), 0, 0, 0, 0};
  expected = {255, 255, 255, Scaled(16, 5), Scaled(40, 6), Scaled(1, 5), 0, 0, 0};
  EXPECT_EQ(Decode(BuildBitmap(plan)).pixels, expected);
  plan.imageSize = 6;  // written without the row padding: the rows are still all there
  EXPECT_EQ(Decode(BuildBitmap(plan)).pixels, expected);
  plan.headerSize = 124;
  plan.fileHeader = false;
  EXPECT_EQ(Decode(BuildBitmap(plan)).pixels, expected);

  // Masks must be present, contiguous, apart and within the pixel.
  for (std::vector<std::uint32_t> masks : {std::vector<std::uint32_t>{0xf800, 0x07e0, 0},
                                           {0xf800, 0x0fe0, 0x001f},
                                           {0xf800, 0x07a0, 0x001f},
                                           {0x1f800, 0x07e0, 0x001f}}) {
    plan.masks = masks;
    EXPECT_EQ(Refusal(BuildBitmap(plan)), "Image file conversion error.");
  }

  // 32 bits plain (blue, green, red, unused) and with 10-bit and 2-bit fields.
  plan = BitmapSpec();
  plan.width = 1;
  plan.height = 2;
  plan.bitCount = 32;
  plan.bits = {30, 20, 10, 99, 3, 2, 1, 99};
  EXPECT_EQ(Decode(BuildBitmap(plan)).pixels, (Bytes{10, 20, 30, 1, 2, 3}));
  plan.compression = 3;
  plan.masks = {0x3ff00000, 0x000ffc00, 0x00000003};
  const std::uint32_t wide = (1023u << 20) | (300u << 10) | 2u;
  plan.bits = {std::uint8_t(wide),
               std::uint8_t(wide >> 8),
               std::uint8_t(wide >> 16),
               std::uint8_t(wide >> 24),
               0,
               0,
               0,
               0};
  EXPECT_EQ(Decode(BuildBitmap(plan)).pixels, (Bytes{255, Scaled(300, 10), Scaled(2, 2), 0, 0, 0}));
}

// ---- Run-length bitmaps --------------------------------------------------------------------

TEST(BitmapDecode, RunLengthStreamsWithJumpsAndSkippedPixels) {
  // 4 x 3 at 8 bits. Row 0: two 1s, then a jump of (1, 1) to column 3 of row 1: one 2, end of
  // line. Row 2: literal 1 2 1 (padded to an even length), end of bitmap. Everything skipped
  // is colour 0.
  BitmapSpec plan;
  plan.width = 4;
  plan.height = 3;
  plan.bitCount = 8;
  plan.compression = 1;
  plan.palette = kPalette;
  plan.colorsUsed = 4;
  plan.bits = {2, 1, 0, 2, 1, 1, 1, 2, 0, 0, 0, 3, 1, 2, 1, 0, 0, 1};
  const Bytes expected = Expand(kPalette, {1, 1, 0, 0, 0, 0, 0, 2, 1, 2, 1, 0});
  EXPECT_EQ(Decode(BuildBitmap(plan)).pixels, expected);

  // The same picture in RLE4: a run alternates the two nibbles, a literal packs two a byte.
  plan.bitCount = 4;
  plan.compression = 2;
  plan.bits = {2, 0x11, 0, 2, 1, 1, 1, 0x22, 0, 0, 0, 3, 0x12, 0x10, 0, 1};
  EXPECT_EQ(Decode(BuildBitmap(plan)).pixels, expected);
  plan.bits = {3, 0x12, 0, 1};  // 1 2 1 then the rest skipped
  EXPECT_EQ(Decode(BuildBitmap(plan)).pixels,
            Expand(kPalette, {1, 2, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0}));

  // A stream that ends every row needs no end-of-bitmap code; one that stops early is cut.
  plan.bits = {4, 0x33, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(Decode(BuildBitmap(plan)).pixels,
            Expand(kPalette, {3, 3, 3, 3, 0, 0, 0, 0, 0, 0, 0, 0}));
  plan.bits = {4, 0x33, 0, 0, 0, 0};
  EXPECT_EQ(Refusal(BuildBitmap(plan)), "Image file conversion error.");

  // Refused: runs, literals and jumps leaving the picture, indices beyond the table, a
  // literal cut short, and a stream stored top-down.
  const Bytes bad[] = {
      {5, 0x11, 0, 1},              // run past the row's end
      {2, 0x11, 0, 3, 1, 2, 0, 1},  // literal past the row's end
      {0, 2, 5, 0, 0, 1},           // jump past the row's end
      {0, 2, 0, 3, 0, 1},           // jump above the top row
      {0, 0, 0, 0, 0, 0, 1, 0x11},  // run after the last row
      {2, 0x44, 0, 1},              // index 4 of a 4-entry table
      {0, 4, 0x12},                 // literal missing a byte
      {0, 2, 1},                    // jump missing a byte
  };
  for (const Bytes& stream : bad) {
    plan.bits = stream;
    EXPECT_EQ(Refusal(BuildBitmap(plan)), "Image file conversion error.");
  }
  plan.bits = {4, 0x33, 0, 1};
  plan.height = -3;
  EXPECT_EQ(Refusal(BuildBitmap(plan)), "Image file conversion error.");

  // The image size field bounds the stream: codes after it are not read.
  plan.height = 3;
  plan.bits = {4, 0x33, 0, 1, 4, 0x44};
  plan.imageSize = 4;
  EXPECT_EQ(Decode(BuildBitmap(plan)).width, 4);
  plan.imageSize = 7;
  EXPECT_EQ(Refusal(BuildBitmap(plan)), "Image file conversion error.");
}

// ---- Hostile files -------------------------------------------------------------------------

TEST(BitmapRobustness, FilesCutShortAnywhereAreRefused) {
  std::vector<Bytes> files;
  for (const char* name : {"pal1", "pal4rle", "pal8rle", "pal8os2", "pal8v5", "rgb16-565"}) {
    files.push_back(ReadAll(kSuite + "g/" + name + ".bmp"));
    ASSERT_GT(files.back().size(), 14u) << name;
  }
  // The same pictures as bare DIBs, where no file header gives the length away.
  for (std::size_t i = 0, n = files.size(); i < n; ++i) {
    files.push_back(Bytes(files[i].begin() + 14, files[i].end()));
  }
  for (const Bytes& file : files) {
    ImageRecord whole;
    std::string message;
    ASSERT_TRUE(DecodeBitmap(file.data(), file.size(), whole, message)) << message;
    for (std::size_t length = 0; length < file.size(); ++length) {
      const Bytes cut(file.begin(), file.begin() + length);  // exact size, so overreads show
      ImageRecord image;
      std::string message;
      ASSERT_FALSE(DecodeBitmap(cut.data(), cut.size(), image, message)) << length;
      ASSERT_TRUE(IsRefusalMessage(message)) << message;
    }
  }
}

TEST(BitmapRobustness, RandomlyMutatedFilesNeverCrash) {
  std::vector<Bytes> files;
  for (const char* name :
       {"pal1", "pal4rle", "pal8rle", "pal8os2", "pal8v5", "rgb16-565", "rgb32bf", "rgb24"}) {
    files.push_back(ReadAll(kSuite + "g/" + name + ".bmp"));
  }
  std::mt19937 random(20261207);
  int accepted = 0;
  for (int round = 0; round < 4000; ++round) {
    Bytes file = files[round % files.size()];
    if (round % 2) file.erase(file.begin(), file.begin() + 14);
    // Mostly the headers and tables, every fourth round anywhere (runs of the RLE streams).
    const std::size_t span =
        round % 4 == 3 ? file.size() : std::min<std::size_t>(file.size(), 14 + 124 + 12);
    const int changes = 1 + random() % 4;
    for (int i = 0; i < changes; ++i) {
      const std::size_t at = random() % span;
      switch (random() % 3) {
        case 0:
          file[at] = std::uint8_t(random());
          break;
        case 1:
          file[at] ^= std::uint8_t(1u << (random() % 8));
          break;
        default:  // an extreme value in a 4-byte field
          for (std::size_t b = at; b < at + 4 && b < file.size(); ++b) {
            file[b] = (random() % 2) ? 0xff : 0x80 * (b == at + 3);
          }
      }
    }
    ImageRecord image;
    std::string message;
    if (DecodeBitmap(file.data(), file.size(), image, message)) {
      ++accepted;
      ASSERT_GE(image.width, 1);
      ASSERT_GE(image.height, 1);
      ASSERT_LE(image.width, 16384);
      ASSERT_LE(image.height, 16384);
      ASSERT_EQ(image.pixels.size(), std::size_t(image.width) * image.height * 3);
    } else {
      ASSERT_TRUE(IsRefusalMessage(message)) << message;
    }
  }
  // Many mutations hit fields that do not matter; the files stay readable.
  EXPECT_GT(accepted, 100);
}

// ---- Loading through the platform ----------------------------------------------------------

TEST(BitmapLoad, MissingFileShowsAnErrorBox) {
  headless::Reset();
  const std::string name = kSuite + "no such texture.bmp";
  EXPECT_EQ(LoadBitmapImage(name.c_str()), nullptr);
  ASSERT_EQ(headless::MessageBoxes().size(), 1u);
  EXPECT_EQ(headless::MessageBoxes()[0].caption, "Error");
  EXPECT_EQ(headless::MessageBoxes()[0].text, "Failed to open DIB file " + name + ".\n");

  // A good file comes back as a record and shows nothing; a bad one shows its reason.
  const ImageRecord* image = LoadBitmapImage((kSuite + "g/pal8.bmp").c_str());
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->width, 127);
  EXPECT_EQ(LoadBitmapImage((kSuite + "b/badheadersize.bmp").c_str()), nullptr);
  ASSERT_EQ(headless::MessageBoxes().size(), 2u);
  EXPECT_EQ(headless::MessageBoxes()[1].text, "Unknown DIB file format.");
}

}  // namespace
