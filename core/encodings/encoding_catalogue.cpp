#include "encodings/encoding_catalogue.h"

#include <algorithm>

#include "encodings/code_tables.h"
#include "encodings/cyrillic_tables.h"
#include "encodings/enc_file.h"

namespace prambus {

std::string LoadedEncodingId(std::string_view path) {
  return std::string(encoding_id::kLoadedPrefix) + std::string(path);
}

namespace {

EncodingEntry DisplayEntry(std::string_view id, std::string caption, const CodeTable& table) {
  return {std::string(id), std::move(caption), table, {}, kRecodeBoth, true};
}

EncodingEntry ConversionEntry(std::string_view id, std::string caption, uint8_t kind) {
  return {std::string(id), std::move(caption), MarkerTable(kind), {}, kRecodeBoth, false};
}

// How many entries come before the loaded ones.
size_t BuiltInCount(const std::vector<EncodingEntry>& entries) {
  return static_cast<size_t>(std::find_if(entries.begin(), entries.end(),
                                          [](const EncodingEntry& e) { return e.Loaded(); }) -
                             entries.begin());
}

}  // namespace

EncodingCatalogue::EncodingCatalogue() {
  namespace id = encoding_id;
  entries_ = {
      DisplayEntry(id::kWindows, "Windows", WindowsTable()),
      DisplayEntry(id::kDos, "DOS", DosTable()),
      DisplayEntry(id::kKoi8r, "KOI8-R", Koi8rTable()),
      DisplayEntry(id::kKoi8u, "KOI8-U", Koi8uTable()),
      DisplayEntry(id::kIso88595, "ISO-8859-5", Iso88595Table()),
      DisplayEntry(id::kMacCyrillic, "Mac Cyrillic", MacCyrillicTable()),
      ConversionEntry(id::kQuotedPrintable, "Quoted Printable", kConvQuotedPrintable),
      ConversionEntry(id::kTranslit, "Транслит", kConvTranslit),
      ConversionEntry(id::kUtf16, "Unicode (UTF-16)", kConvUtf16),
      {std::string(id::kUtf8), "UTF-8", MarkerTable(kConvUtf8), {}, kRecodeBoth, true, true},
      // Found by its byte-order mark; no conversion reads it yet.
      {std::string(id::kUtf16Be), "Unicode (UTF-16BE)", std::nullopt, {}, kRecodeNone, false},
  };
}

const EncodingEntry* EncodingCatalogue::Find(std::string_view id) const {
  for (const EncodingEntry& e : entries_)
    if (e.id == id) return &e;
  return nullptr;
}

const EncodingEntry& EncodingCatalogue::FindOrWindows(std::string_view id) const {
  const EncodingEntry* e = Find(id);
  return e ? *e : entries_.front();
}

const EncodingEntry& EncodingCatalogue::AddLoaded(const std::string& path,
                                                  const std::string& name) {
  const std::string id = LoadedEncodingId(path);
  for (EncodingEntry& e : entries_) {
    if (e.id == id) {
      e.caption = name;
      return e;
    }
  }
  entries_.push_back({id, name, std::nullopt, path, kRecodeBoth, true});
  return entries_.back();
}

bool EncodingCatalogue::RemoveLoaded(std::string_view id) {
  const auto it = std::find_if(entries_.begin(), entries_.end(),
                               [&](const EncodingEntry& e) { return e.Loaded() && e.id == id; });
  if (it == entries_.end()) return false;
  entries_.erase(it);
  return true;
}

std::vector<LoadedEncoding> EncodingCatalogue::LoadedList() const {
  std::vector<LoadedEncoding> out;
  for (size_t i = BuiltInCount(entries_); i < entries_.size(); ++i)
    out.push_back({entries_[i].path, entries_[i].caption});
  return out;
}

std::vector<const EncodingEntry*> EncodingCatalogue::MenuEntries() const {
  std::vector<const EncodingEntry*> out;
  for (const EncodingEntry& e : entries_)
    if (e.showsDocument) out.push_back(&e);
  return out;
}

std::vector<const EncodingEntry*> EncodingCatalogue::RecodeEntries(bool target) const {
  const uint8_t wanted = target ? kRecodeTo : kRecodeFrom;
  std::vector<const EncodingEntry*> out;
  for (const EncodingEntry& e : entries_)
    if (e.recode & wanted) out.push_back(&e);
  return out;
}

const EncodingEntry& EncodingCatalogue::NextInMenu(std::string_view id) const {
  const auto current = std::find_if(entries_.begin(), entries_.end(),
                                    [&](const EncodingEntry& e) { return e.id == id; });
  const size_t n = entries_.size();
  const size_t from = current == entries_.end() ? n - 1 : current - entries_.begin();
  for (size_t step = 1; step <= n; ++step) {
    const EncodingEntry& e = entries_[(from + step) % n];
    if (e.showsDocument) return e;
  }
  return entries_.front();
}

bool EncodingCatalogue::Table(const EncodingEntry& entry, TableUse use, CodeTable& out) const {
  switch (use) {
    case TableUse::kDisplay:
      if (!entry.showsDocument) return false;
      break;
    case TableUse::kRecodeSource:
      if (!(entry.recode & kRecodeFrom)) return false;
      break;
    case TableUse::kRecodeTarget:
      if (!(entry.recode & kRecodeTo)) return false;
      break;
  }
  if (entry.Loaded()) return loadEncodingFile(entry.path, out);
  if (!entry.table) return false;
  if (use == TableUse::kDisplay && entry.showsUtf8) {
    out = IdentityTable();
    return true;
  }
  out = use == TableUse::kRecodeTarget && entry.id == encoding_id::kDos ? DosForOutputTable()
                                                                        : *entry.table;
  return true;
}

}  // namespace prambus
