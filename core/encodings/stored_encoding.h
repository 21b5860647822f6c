// Encodings as data.dat names them. Files written before identifiers store
// a menu position (0 "Windows", 1 "DOS", 2 + k the k-th loaded encoding of
// the list stored beside it); the recode dialog numbered its list 0-5 for the
// built-in entries and 6 + k for the loaded ones.
//
// The stored form from now on keeps that byte, written so that an older
// program reads the nearest thing it knows (an encoding it lacks reads as
// "Windows"), and adds the identifier in a field after the last one older
// programs read; a reader takes the identifier when it names an encoding it
// has and the position otherwise. So an older file reads back as it was
// written, an older program reads a newer file as it always did, and a
// built-in encoding added later never moves a stored choice.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "settings/stored_state.h"

namespace prambus {

// `loaded` is the list of loaded encodings stored in the same file, in its
// order: positions count from it, not from what is still loadable now.
std::string EncodingIdFromMenuPosition(int position, const std::vector<LoadedEncoding>& loaded);
// The position an older program reads: "Windows" for an encoding it lacks.
uint8_t MenuPositionForOlderReaders(std::string_view id, const std::vector<LoadedEncoding>& loaded);

std::string EncodingIdFromRecodeEntry(int entry, const std::vector<LoadedEncoding>& loaded);
// -1 when the old recode list had no such entry.
int OldRecodeEntry(std::string_view id, const std::vector<LoadedEncoding>& loaded);

class EncodingCatalogue;

// The encoding a stored record names: its identifier when the catalogue has
// it (loaded encodings restored first), else its menu position read against
// the stored list. The result may still name nothing the catalogue has (a
// loaded file gone since); FindOrWindows reads it as "Windows" then.
std::string StoredEncodingId(const EncodingCatalogue& catalogue, const std::string& id,
                             uint8_t position, const std::vector<LoadedEncoding>& loaded);
// For a record whose older readers refuse anything they do not know (a
// recovery copy's description): the identifier, or nothing when the menu
// position alone names the same encoding, so that the record stays as older
// programs wrote it.
std::string IdBeyondMenuPosition(std::string_view id, const std::vector<LoadedEncoding>& loaded);

// Sets both stored forms of a record's encoding; id may be storedId itself.
void StoreEncoding(std::string_view id, const std::vector<LoadedEncoding>& loaded,
                   std::string& storedId, uint8_t& storedPosition);

}  // namespace prambus
