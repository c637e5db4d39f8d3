// The model library's file access, reading text files saved as UTF-16 as their UTF-8 text:
// the library's own readers take UTF-8 only (its OBJ reader refuses a UTF-16 file).
#pragma once

#include <assimp/DefaultIOSystem.h>

class TextAwareIOSystem : public Assimp::DefaultIOSystem {
 public:
  // Opens path; a file that starts with a UTF-16 byte-order mark and is valid UTF-16 text
  // throughout is given as that text in UTF-8, without the mark.
  Assimp::IOStream* Open(const char* path, const char* mode = "rb") override;
};
