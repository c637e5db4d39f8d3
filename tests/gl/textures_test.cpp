// Texture objects: one per distinct name across the static list, the avatar and the
// objects, each image read once, and the filters and unpack alignment of each.
#include "render/textures.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/shell.h"
#include "common/work_folder.h"
#include "gl/recorder.h"
#include "scene/bitmap.h"
#include "scene/scene.h"

namespace {

namespace fs = std::filesystem;

// Writes a w x h 24-bit bottom-up bitmap of one colour.
void WriteBitmap(const fs::path& path, int w, int h, std::uint8_t r) {
  const int row = (w * 3 + 3) / 4 * 4;
  const std::uint32_t size = 54 + row * h;
  std::vector<std::uint8_t> b(size, 0);
  auto put32 = [&](int at, std::uint32_t v) {
    for (int k = 0; k < 4; ++k) b[at + k] = static_cast<std::uint8_t>(v >> (8 * k));
  };
  b[0] = 'B';
  b[1] = 'M';
  put32(2, size);
  put32(10, 54);
  put32(14, 40);
  put32(18, w);
  put32(22, h);
  b[26] = 1;
  b[28] = 24;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b[54 + y * row + x * 3 + 2] = r;
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<char*>(b.data()), size);
}

class Textures : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProgramState();
    recorder::Clear();
    WriteBitmap("a.bmp", 4, 2, 10);
    WriteBitmap("b.bmp", 3, 3, 20);
  }
  const WorkFolder folder{"citywalk-textures"};
};

// Empty static-list texture tables of size rows, count the last vertex in use.
void StaticTables(int count, std::size_t size) {
  staticVertexCount = count;
  staticTextured.assign(size, 0);
  staticTexName.assign(size, "");
  staticTexId.assign(size, 0);
  staticImage.assign(size, nullptr);
}

// Marks vertex index of a list textured with the named image.
void Textured(std::vector<int>& flags, std::vector<std::string>& names, int index,
              const char* name) {
  flags[index] = 1;
  names[index] = name;
}

TEST_F(Textures, OneTextureObjectPerDistinctNameAcrossAllLists) {
  StaticTables(6, 16);
  Textured(staticTextured, staticTexName, 0, "a.bmp");
  Textured(staticTextured, staticTexName, 3, "a.bmp");
  Textured(staticTextured, staticTexName, 4, "b.bmp");
  staticTexName[5] = "b.bmp";  // named but not textured: not loaded for this vertex

  avatarVertexCount = 3;
  avatarTextured.assign(4, 0);
  avatarTexName.assign(4, "");
  avatarTexId.assign(4, 0);
  avatarImage.assign(4, nullptr);
  Textured(avatarTextured, avatarTexName, 1, "b.bmp");

  objectLastIndex = 1;
  objectVertexCount = {2, 2};
  objVtxTextured.assign(3, std::vector<int>(2, 0));
  objVtxTexName.assign(3, {});
  objVtxTexId.assign(3, std::vector<int>(2, 0));
  objVtxImage.assign(3, std::vector<ImageRecord*>(2, nullptr));
  objVtxTextured[1][0] = 1;
  objVtxTexName[1][0] = "a.bmp";
  objVtxTextured[0][1] = 1;
  objVtxTexName[0][1] = "b.bmp";

  BuildTextures();
  EXPECT_EQ(recorder::Count("glGenTextures"), 2);
  EXPECT_EQ(recorder::Count("gluBuild2DMipmaps"), 2);
  const int a = staticTexId[0], b = staticTexId[4];
  EXPECT_NE(a, 0);
  EXPECT_NE(b, 0);
  EXPECT_NE(a, b);
  EXPECT_EQ(staticTexId[3], a);
  EXPECT_EQ(staticTexId[5], 0);
  EXPECT_EQ(avatarTexId[1], b);
  EXPECT_EQ(objVtxTexId[1][0], a);
  EXPECT_EQ(objVtxTexId[0][1], b);
  // Only the vertex that loaded an image keeps it.
  EXPECT_NE(staticImage[0], nullptr);
  EXPECT_NE(staticImage[4], nullptr);
  EXPECT_EQ(staticImage[3], nullptr);
  EXPECT_EQ(avatarImage[1], nullptr);
  EXPECT_EQ(objVtxImage[1][0], nullptr);
}

TEST_F(Textures, EachTextureIsAMipmappedRgbImageWithNearestMinification) {
  StaticTables(1, 11);
  Textured(staticTextured, staticTexName, 0, "b.bmp");
  linearMagFilter = 0;
  BuildTextures();
  const std::vector<std::string> expected = {
      "glPixelStorei(UNPACK_ALIGNMENT,1)",
      "glGenTextures(1)",
      "glBindTexture(TEXTURE_2D,1)",
      "gluBuild2DMipmaps(TEXTURE_2D,3,3,3,RGB,UNSIGNED_BYTE)",
      "glTexParameteri(TEXTURE_2D,MIN_FILTER,NEAREST)",
      "glTexParameteri(TEXTURE_2D,MAG_FILTER,NEAREST)"};
  EXPECT_EQ(recorder::Calls(), expected);
  ASSERT_NE(staticImage[0], nullptr);
  EXPECT_EQ(staticImage[0]->pixels.size(), 27u);  // 3 x 3, no row padding

  recorder::Clear();
  linearMagFilter = 1;
  BuildTextures();
  EXPECT_EQ(recorder::Count("glTexParameteri(TEXTURE_2D,MAG_FILTER,LINEAR)"), 1);
}

TEST_F(Textures, AMissingImageIsReadOnceAndGetsNoTextureObject) {
  StaticTables(3, 13);
  Textured(staticTextured, staticTexName, 0, "missing.bmp");
  Textured(staticTextured, staticTexName, 2, "missing.bmp");
  BuildTextures();
  EXPECT_EQ(recorder::Count("glGenTextures"), 0);
  EXPECT_EQ(staticTexId[0], 0);
  EXPECT_EQ(staticTexId[2], 0);
}

TEST_F(Textures, WindowsSeparatorsInNamesFindTheFile) {
  fs::create_directories("tex");
  WriteBitmap("tex/c.bmp", 2, 2, 30);
  StaticTables(1, 11);
  Textured(staticTextured, staticTexName, 0, "tex\\c.bmp");
  BuildTextures();
  EXPECT_NE(staticTexId[0], 0);
}

}  // namespace
