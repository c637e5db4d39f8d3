// The texture-binding cache: which texture every drawing stage bound last, so that binding the
// same one again sends nothing. This module alone changes it.
#pragma once

extern int boundTexture;  // texture bound last by any drawing stage (0: none known)

// Binds a texture unless it is the one bound last.
void BindTextureCached(int id);
// Takes note that a replayed display list bound the texture id itself (0: it bound none, and
// the cache keeps what it held).
void NoteTextureBound(int id);
// Forgets the texture bound: the next binding of any texture is sent. Every frame starts so.
void ForgetBoundTexture();

// While a list is recorded: the cache starts empty, so that the record binds its first texture
// itself whatever is bound when it is replayed, and the cache gets back what it held when the
// guard ends. A list compiled into a display list is not executed, so OpenGL's binding is what
// it was before the recording: the cache must say so again.
class TextureBindingSaved {
 public:
  TextureBindingSaved();
  ~TextureBindingSaved();
  TextureBindingSaved(const TextureBindingSaved&) = delete;
  TextureBindingSaved& operator=(const TextureBindingSaved&) = delete;

 private:
  int saved_;
};
