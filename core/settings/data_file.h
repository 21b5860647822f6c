// data.dat: a fixed sequence of 46 fields, written once at exit and read
// once at start-up. Later groups are guarded by end-of-file tests, so older,
// shorter files load cleanly; a negative count or length reads as an empty
// list, and a count or length larger than the rest of the file ends the
// file there, every later value keeping its default. Field 44 (the
// encodings' identifiers) comes after everything older programs read, which
// stop before it.
#pragma once

#include <string>

#include "settings/settings.h"
#include "settings/stored_state.h"

namespace prambus {

// Reads the file into the state and the settings record (only what the file
// holds replaces the defaults). False when the file cannot be opened.
// *damaged tells whether the reading stopped with part of the file unread
// (a field cut short, a count the rest cannot hold): writing the file then
// would put defaults in place of what could not be read.
bool ReadDataFile(const std::string& path, StoredState& state, Settings& settings,
                  bool* damaged = nullptr);

// Writes all 46 fields the way documents are saved (a complete copy renamed
// over the file, or rewritten in place with a backup), so the previous file
// survives any failure. False on failure.
bool WriteDataFile(const std::string& path, const StoredState& state, const Settings& settings);

// The window bounds to restore on a screen (its area in desktop
// coordinates): the size clamped to the screen and then raised to the minimum
// restored size, but never beyond the screen; a window that would not lie
// wholly on the screen moved onto it by the least distance.
struct WindowBounds {
  int left, top, width, height;
};
WindowBounds RestoreWindowBounds(const WindowAppearance& stored, const WindowBounds& screen,
                                 int minWidth, int minHeight);

// Where data.dat lives: beside the executable when that folder is writable,
// otherwise in the user's configuration folder. It is read from where it is
// written; only while nothing has been written there yet does the file in the
// other place (an older copy, or one shipped beside a read-only program) give
// the first settings.
// An empty exeDir: the configuration folder alone.
std::string DataFileForWriting(const std::string& exeDir, const std::string& configDir);
std::string DataFileForReading(const std::string& exeDir, const std::string& configDir);

// The folder the two above may keep data.dat in beside the program: the
// executable's, or none when it is the bin folder the build was configured
// to install into (/usr/bin for the package). That folder belongs to the
// system: only root may write there, and root's settings must not become a
// file no package owns. Links are resolved before comparing.
std::string ProgramFolderForSettings(const std::string& exeDir, const std::string& installBinDir);

}  // namespace prambus
