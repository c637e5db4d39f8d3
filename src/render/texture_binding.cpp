// The texture-binding cache.
#include "render/texture_binding.h"

#include "platform/win32.h"

int boundTexture;

void BindTextureCached(int id) {
  if (id == boundTexture) return;
  boundTexture = id;
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(id));
}

void NoteTextureBound(int id) {
  if (id != 0) boundTexture = id;
}

void ForgetBoundTexture() { boundTexture = 0; }

TextureBindingSaved::TextureBindingSaved() : saved_(boundTexture) { boundTexture = 0; }

TextureBindingSaved::~TextureBindingSaved() { boundTexture = saved_; }
