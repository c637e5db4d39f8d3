// One texture object per distinct texture file name across the static list, the avatar and
// the objects; each image is read once and kept here.
#include "render/textures.h"

#include <memory>
#include <new>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/win32.h"
#include "scene/bitmap.h"
#include "scene/scene.h"

namespace {

// Texture id of every name met so far, in the order static, avatar, objects: a name met
// again reuses the id of its first vertex (0 when that image could not be read).
std::unordered_map<std::string, int> textureByName;
// Every image read, owned here; the scene's image columns point into them.
std::vector<std::unique_ptr<ImageRecord>> images;

// Builds the mipmapped texture of an image into a new texture object.
int CreateTexture(const ImageRecord& image) {
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  GLuint id = 0;
  glGenTextures(1, &id);
  glBindTexture(GL_TEXTURE_2D, id);
  gluBuild2DMipmaps(GL_TEXTURE_2D, 3, image.width, image.height, GL_RGB, GL_UNSIGNED_BYTE,
                    image.pixels.data());
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER,
                  linearMagFilter == 1 ? GL_LINEAR : GL_NEAREST);
  return static_cast<int>(id);
}

// The texture id for a textured vertex: shared when its name was met before, otherwise
// loaded into image and created. A name whose image cannot be read gets id 0 and no texture
// object; its polygons are drawn untextured.
int TextureFor(const std::string& name, ImageRecord*& image) {
  const auto found = textureByName.find(name);
  if (found != textureByName.end()) return found->second;
  image = LoadBitmapImage(TextureFilePath("", name).c_str());
  const int id = image ? CreateTexture(*image) : 0;
  textureByName.emplace(name, id);
  return id;
}

}  // namespace

// Without a current rendering context (its creation failed) no texture object can be made:
// the mipmap builder would read GL state that is not there. The polygons then keep id 0.
void BuildTextures() {
  ResetTextures();
  if (glGetString(GL_VERSION) == nullptr) return;
  for (int i = 0; i < staticVertexCount; ++i)
    if (staticTextured[i] == 1) staticTexId[i] = TextureFor(staticTexName[i], staticImage[i]);
  for (int i = 0; i < avatarVertexCount; ++i)
    if (avatarTextured[i] == 1) avatarTexId[i] = TextureFor(avatarTexName[i], avatarImage[i]);
  for (int o = 0; o <= objectLastIndex; ++o)
    for (int j = 0; j < objectVertexCount[o]; ++j)
      if (objVtxTextured[j][o] == 1)
        objVtxTexId[j][o] = TextureFor(objVtxTexName[j][o], objVtxImage[j][o]);
}

ImageRecord* LoadBitmapImage(const char* fileName) {
  ImageRecord image;
  std::string message;
  ImageRecord* record = nullptr;
  if (ReadBitmapFile(fileName, image, message)) {
    try {
      images.push_back(std::make_unique<ImageRecord>(std::move(image)));
      record = images.back().get();
    } catch (const std::bad_alloc&) {
      message = "Out of memory.";
    }
  }
  if (record == nullptr) MessageBoxA(GetFocus(), message.c_str(), "Error", MB_OK);
  return record;
}

void ResetTextures() {
  textureByName.clear();
  images.clear();
}
