// data.dat: a fixed sequence of 43 fields, written once at exit and read
// once at start-up. Later groups are guarded by end-of-file tests, so older,
// shorter files load cleanly; a corrupt count or length ends the file there
// and every later value keeps its default.
#pragma once

#include <string>

#include "settings/settings.h"
#include "settings/stored_state.h"

namespace prambus {

// Reads the file into the state and the settings record (only what the file
// holds replaces the defaults). False when the file cannot be opened.
bool ReadDataFile(const std::string& path, StoredState& state, Settings& settings);

// Writes all 43 fields the way documents are saved (a complete copy renamed
// over the file, or rewritten in place with a backup), so the previous file
// survives any failure. False on failure.
bool WriteDataFile(const std::string& path, const StoredState& state, const Settings& settings);

// The window bounds to restore: size clamped to the screen and the minimum
// restored size, positions far off screen pulled back.
struct WindowBounds {
  int left, top, width, height;
};
WindowBounds RestoreWindowBounds(const WindowAppearance& stored, int screenWidth, int screenHeight,
                                 int minWidth, int minHeight);

// Where data.dat lives: beside the executable when that folder is writable,
// otherwise in the user's configuration folder. Reading prefers an existing
// file beside the executable.
std::string DataFileForReading(const std::string& exeDir, const std::string& configDir);
std::string DataFileForWriting(const std::string& exeDir, const std::string& configDir);

}  // namespace prambus
