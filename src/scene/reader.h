// Reading the scene file into the scene tables and deriving the view and motion values from
// it. No window, GL or clock call happens here, so the checker tool and the tests run it as it
// is; LoadScene adds the rest of window creation around it.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

#include "scene/diagnostics.h"

// The scene file's name, and its bytes in the Windows code page of the Cyrillic alphabet.
inline constexpr const char* kSceneFileName = "\xD0\x93\xD0\xBE\xD1\x80\xD0\xBE\xD0\xB4.mts";
inline constexpr const char* kSceneFileName1251 = "\xC3\xEE\xF0\xEE\xE4.mts";

// No one count may make its tables larger than this (plain vertices, obstacle points,
// object points); a larger count is refused. Tests lower it to keep hostile files cheap.
extern std::size_t sceneTableByteLimit;

// The scene file in folder dir ("" or "." = the working directory): its path, or "" when
// there is none.
std::string FindSceneFile(const std::string& dir);

// Opens a file for reading by a UTF-8 path (on Windows through the wide file interface, so
// that the name is found whatever the ANSI code page); other paths are opened as written.
std::FILE* OpenSceneFile(const std::string& path);

// The scene file's path as messages show it: a code-page name shows as the scene file's name.
std::string SceneDisplayName(const std::string& path);

// Resets the scene to its start-up state, reads the scene file at path into the tables and
// derives the view and motion values. Returns false when the file could not be opened (the
// scene then keeps its defaults, derived as for an empty file). With diag, findings are
// collected there; without it, refused counts are reported on standard error.
bool ReadSceneFile(const std::string& path, SceneDiagnostics* diag);

// Forgets the reader's working state (the stream over the last file read).
void ResetSceneReader();

// Reads a scene held in memory, as ReadSceneFile does with a file's bytes; name is used in
// messages only.
void ReadSceneText(const char* data, std::size_t size, const std::string& name,
                   SceneDiagnostics* diag);
