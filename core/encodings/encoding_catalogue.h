// The encodings the program knows, each declared once: the built-in ones
// first (display tables, then the conversions), then the tables loaded from
// .enc files in the order they were added. Menus, lists, the status bar and
// stored settings name an encoding by its identifier, never by a position,
// so adding a built-in encoding moves no stored choice.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/stored_state.h"
#include "views/view_base.h"

namespace prambus {

// Identifiers of the built-in encodings. They are stored in data.dat: never
// change one. A loaded encoding's identifier is "file:" followed by its path.
namespace encoding_id {
inline constexpr std::string_view kWindows = "windows-1251";
inline constexpr std::string_view kDos = "cp866";
inline constexpr std::string_view kKoi8r = "koi8-r";
inline constexpr std::string_view kKoi8u = "koi8-u";
inline constexpr std::string_view kIso88595 = "iso-8859-5";
inline constexpr std::string_view kMacCyrillic = "mac-cyrillic";
inline constexpr std::string_view kQuotedPrintable = "quoted-printable";
inline constexpr std::string_view kTranslit = "translit";
inline constexpr std::string_view kUtf16 = "utf-16";
inline constexpr std::string_view kUtf8 = "utf-8";
inline constexpr std::string_view kUtf16Be = "utf-16be";
inline constexpr std::string_view kLoadedPrefix = "file:";
}  // namespace encoding_id

std::string LoadedEncodingId(std::string_view path);

enum RecodeDirections : uint8_t {
  kRecodeNone = 0,
  kRecodeFrom = 1,  // offered as the source of a recode
  kRecodeTo = 2,    // offered as its target
  kRecodeBoth = 3,
};

struct EncodingEntry {
  std::string id;
  std::string caption;  // as the menu, the recode lists and the status bar show it
  // A built-in display table, or the marker table naming a conversion. None
  // for a loaded encoding, whose table is read from its file each time it is
  // used, and for an encoding the program can only name.
  std::optional<CodeTable> table;
  std::string path;  // a loaded encoding's .enc file
  uint8_t recode = kRecodeNone;
  // Offered in the encoding menu and by F8: its table shows a document.
  bool showsDocument = false;
  // The document is shown as UTF-8 characters rather than through a table
  // (its display table is the identity: the view holds the file's bytes).
  bool showsUtf8 = false;

  bool Loaded() const { return !path.empty(); }
};

enum class TableUse { kDisplay, kRecodeSource, kRecodeTarget };

class EncodingCatalogue {
 public:
  EncodingCatalogue();  // the built-in encodings, no loaded ones

  const std::vector<EncodingEntry>& Entries() const { return entries_; }
  const EncodingEntry* Find(std::string_view id) const;
  // The entry for an identifier, or "Windows" when the catalogue has none
  // (an encoding whose file was removed, or one a later version added).
  const EncodingEntry& FindOrWindows(std::string_view id) const;

  // Adds a loaded encoding after the others, or renames it when its path is
  // already listed. The file is not read here.
  const EncodingEntry& AddLoaded(const std::string& path, const std::string& name);
  // False when the identifier names no loaded encoding.
  bool RemoveLoaded(std::string_view id);
  // The loaded encodings in catalogue order, as data.dat lists them.
  std::vector<LoadedEncoding> LoadedList() const;

  // The encoding menu (and F8's round): every entry that shows a document.
  std::vector<const EncodingEntry*> MenuEntries() const;
  // A recode list: the entries offered as sources, or as targets.
  std::vector<const EncodingEntry*> RecodeEntries(bool target) const;
  // F8: the menu entry after the given one in catalogue order, wrapping to
  // the first; from an encoding outside the menu, the next one after it.
  const EncodingEntry& NextInMenu(std::string_view id) const;

  // The table of an entry for a use: the built-in table (the DOS target
  // sends і and І to Latin i and I), or the loaded file read again. False
  // when the entry does not offer that use, or its file is gone or does not
  // parse. A loaded table that is not a permutation still loads for display:
  // whether it can show a document is the caller's check (CanShowDocument).
  bool Table(const EncodingEntry& entry, TableUse use, CodeTable& out) const;

 private:
  std::vector<EncodingEntry> entries_;
};

}  // namespace prambus
