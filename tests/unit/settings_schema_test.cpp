// The settings schema's own structure: unique keys, contiguous places in
// data.dat, ranges that hold the defaults, and each field its own part of
// the record, written and read back on its own.
#include "settings/settings_schema.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "settings/data_file.h"
#include "shell/fine_settings.h"
#include "support/temp_dir.h"

namespace prambus {
namespace {

// A value the field keeps that is not its default.
SettingValue OtherValue(const SettingField& f) {
  const SettingValue d = f.get(Settings{});
  switch (f.kind) {
    case SettingKind::kInt:
      return static_cast<int32_t>(std::get<int32_t>(d) == f.max ? f.min : f.max);
    case SettingKind::kReal:
      return std::get<double>(d) == f.max ? f.min : f.max;
    case SettingKind::kBool:
      return !std::get<bool>(d);
    case SettingKind::kColor:
      return Color{std::get<Color>(d) ^ 0x010101};
    case SettingKind::kText:  // a line end: the one text with a closed set of values keeps it
      return std::string(std::get<std::string>(d) == "\r\n" ? "\n" : "\r\n");
    case SettingKind::kFlags8: {
      Flags8 flags = std::get<Flags8>(d);
      for (bool& b : flags) b = !b;
      return flags;
    }
    case SettingKind::kSection:
      break;
  }
  return {};
}

bool IsNumber(const SettingField& f) {
  return f.kind == SettingKind::kInt || f.kind == SettingKind::kReal;
}

TEST(SettingsSchema, KeysAreUniqueAndEveryFieldIsComplete) {
  std::set<std::string> keys;
  ASSERT_FALSE(SettingsSchema().empty());
  EXPECT_EQ(SettingsSchema()[0].kind, SettingKind::kSection);
  bool rowsEnded = false;
  for (const SettingField& f : SettingsSchema()) {
    EXPECT_TRUE(keys.insert(f.key).second) << f.key;
    // The rows come first, in the table's order.
    if (!f.inTable) rowsEnded = true;
    EXPECT_FALSE(rowsEnded && f.inTable) << f.key;
    if (f.kind == SettingKind::kSection) {
      EXPECT_TRUE(f.inTable && f.slot == -1 && !f.description && !f.get && !f.set) << f.key;
      continue;
    }
    EXPECT_TRUE(f.get && f.set) << f.key;
    EXPECT_EQ(f.inTable, f.description != nullptr) << f.key;
    EXPECT_EQ(StoredFieldOf(f.key), &f) << f.key;
  }
}

TEST(SettingsSchema, PlacesInDataDatAreContiguousFromZero) {
  size_t fields = 0;
  for (const SettingField& f : SettingsSchema()) fields += f.kind != SettingKind::kSection;
  const auto stored = StoredFieldsInFileOrder();
  ASSERT_EQ(stored.size(), fields);
  for (size_t i = 0; i < stored.size(); ++i) EXPECT_EQ(stored[i]->slot, static_cast<int>(i));
}

TEST(SettingsSchema, RangesHoldTheDefaultsAndOnlyNumbersHaveThem) {
  const Settings defaults;
  for (const SettingField& f : SettingsSchema()) {
    if (f.kind == SettingKind::kSection) continue;
    if (!IsNumber(f)) {
      EXPECT_TRUE(f.min == 0 && f.max == 0) << f.key;
      if (f.kind == SettingKind::kColor) {
        EXPECT_LE(std::get<Color>(f.get(defaults)), 0xFFFFFFu) << f.key;
      }
      continue;
    }
    const SettingValue v = f.get(defaults);
    const double x = f.kind == SettingKind::kInt ? std::get<int32_t>(v) : std::get<double>(v);
    EXPECT_LT(f.min, f.max) << f.key;
    EXPECT_TRUE(x >= f.min && x <= f.max) << f.key;
  }
}

// Changing one field changes no other field, changes data.dat, and comes
// back from it as it was: each field has a part of the record of its own and
// is written and read.
TEST(SettingsSchema, EachFieldIsWrittenAndReadOnItsOwn) {
  TempDir dir;
  const std::string path = dir.File("data.dat");
  const Settings defaults;
  ASSERT_TRUE(WriteDataFile(path, StoredState{}, defaults));
  const std::string defaultBytes = TempDir::Read(path);
  for (const SettingField* f : StoredFieldsInFileOrder()) {
    Settings changed;
    f->set(changed, OtherValue(*f));
    ASSERT_NE(f->get(changed), f->get(defaults)) << f->key;
    for (const SettingField* other : StoredFieldsInFileOrder())
      if (other != f) {
        EXPECT_EQ(other->get(changed), other->get(defaults)) << f->key << " changes " << other->key;
      }
    ASSERT_TRUE(WriteDataFile(path, StoredState{}, changed));
    EXPECT_NE(TempDir::Read(path), defaultBytes) << f->key;
    StoredState st;
    Settings back;
    ASSERT_TRUE(ReadDataFile(path, st, back));
    for (const SettingField* g : StoredFieldsInFileOrder())
      EXPECT_EQ(g->get(back), g->get(changed)) << f->key << " read back as " << g->key;
  }
}

// Every row shows its default as a text the row accepts again unchanged, so
// "Готово" on an untouched table keeps every value.
TEST(SettingsSchema, EveryRowAcceptsTheTextOfItsDefault) {
  const Settings defaults;
  for (const SettingRow& row : FineSettingRows()) {
    if (row.kind == SettingKind::kSection) continue;
    for (const char* separator : {",", "."}) {
      const std::optional<SettingValue> v =
          ParseRowText(row, RowValueText(row, defaults, separator), separator);
      ASSERT_TRUE(v) << row.key;
      EXPECT_EQ(*v, row.get(defaults)) << row.key;
    }
  }
}

}  // namespace
}  // namespace prambus
