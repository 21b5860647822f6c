#include "encodings/stored_encoding.h"

#include <array>

#include "encodings/encoding_catalogue.h"

namespace prambus {
namespace {

// The built-in entries of the old lists, in their order: the menu's two are
// the recode list's first two.
constexpr int kOldMenuBuiltIns = 2;
constexpr std::array<std::string_view, 6> kOldRecodeBuiltIns = {
    encoding_id::kWindows,  encoding_id::kDos,   encoding_id::kQuotedPrintable,
    encoding_id::kTranslit, encoding_id::kUtf16, encoding_id::kUtf8,
};

// The position of a loaded encoding in the stored list; -1 when it is none.
// The first of two entries with one path is the one an older program kept.
int LoadedIndex(std::string_view id, const std::vector<LoadedEncoding>& loaded) {
  for (size_t k = 0; k < loaded.size(); ++k)
    if (LoadedEncodingId(loaded[k].path) == id) return static_cast<int>(k);
  return -1;
}

std::string FromOldList(int entry, int builtIns, const std::vector<LoadedEncoding>& loaded) {
  if (entry >= builtIns && static_cast<size_t>(entry - builtIns) < loaded.size())
    return LoadedEncodingId(loaded[static_cast<size_t>(entry - builtIns)].path);
  if (entry >= 0 && entry < builtIns) return std::string(kOldRecodeBuiltIns[entry]);
  return std::string(encoding_id::kWindows);  // as older programs read a position they lack
}

}  // namespace

std::string EncodingIdFromMenuPosition(int position, const std::vector<LoadedEncoding>& loaded) {
  return FromOldList(position, kOldMenuBuiltIns, loaded);
}

uint8_t MenuPositionForOlderReaders(std::string_view id,
                                    const std::vector<LoadedEncoding>& loaded) {
  if (id == encoding_id::kDos) return 1;
  const int k = LoadedIndex(id, loaded);
  return k >= 0 && k + kOldMenuBuiltIns <= 255 ? static_cast<uint8_t>(k + kOldMenuBuiltIns) : 0;
}

std::string EncodingIdFromRecodeEntry(int entry, const std::vector<LoadedEncoding>& loaded) {
  return FromOldList(entry, static_cast<int>(kOldRecodeBuiltIns.size()), loaded);
}

int OldRecodeEntry(std::string_view id, const std::vector<LoadedEncoding>& loaded) {
  for (size_t i = 0; i < kOldRecodeBuiltIns.size(); ++i)
    if (kOldRecodeBuiltIns[i] == id) return static_cast<int>(i);
  const int k = LoadedIndex(id, loaded);
  return k >= 0 ? k + static_cast<int>(kOldRecodeBuiltIns.size()) : -1;
}

std::string StoredEncodingId(const EncodingCatalogue& catalogue, const std::string& id,
                             uint8_t position, const std::vector<LoadedEncoding>& loaded) {
  return catalogue.Find(id) ? id : EncodingIdFromMenuPosition(position, loaded);
}

std::string IdBeyondMenuPosition(std::string_view id, const std::vector<LoadedEncoding>& loaded) {
  const uint8_t position = MenuPositionForOlderReaders(id, loaded);
  return EncodingIdFromMenuPosition(position, loaded) == id ? std::string() : std::string(id);
}

void StoreEncoding(std::string_view id, const std::vector<LoadedEncoding>& loaded,
                   std::string& storedId, uint8_t& storedPosition) {
  // The position first: id may be a view of storedId itself.
  storedPosition = MenuPositionForOlderReaders(id, loaded);
  storedId = std::string(id);
}

}  // namespace prambus
