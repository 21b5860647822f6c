// Text typed into the fine-settings table: every row reads the input, and an
// accepted value must lie in the row's range and come back as itself from
// its own text. The first byte picks the user's decimal separator.
#include <cstdlib>
#include <string>

#include "shell/fine_settings.h"

namespace {

using prambus::SettingKind;
using prambus::SettingRow;
using prambus::SettingValue;

void Check(bool ok) {
  if (!ok) std::abort();
}

bool InRange(const SettingRow& row, const SettingValue& v) {
  switch (row.kind) {
    case SettingKind::kInt: {
      const int32_t i = std::get<int32_t>(v);
      return i >= row.min && i <= row.max;
    }
    case SettingKind::kReal: {
      const double d = std::get<double>(v);
      return d >= row.min && d <= row.max;
    }
    case SettingKind::kColor:
      return std::get<prambus::Color>(v) <= 0xFFFFFF;
    case SettingKind::kSection:
      return false;
    default:
      return true;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static const char* const kSeparators[] = {",", ".", "٫"};
  const std::string separator = kSeparators[data[0] % 3];
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  for (const SettingRow& row : prambus::FineSettingRows()) {
    const std::optional<SettingValue> v = prambus::ParseRowText(row, text, separator);
    if (!v) continue;
    Check(InRange(row, *v));
    const std::string shown = prambus::ValueText(row, *v, separator);
    const std::optional<SettingValue> again = prambus::ParseRowText(row, shown, separator);
    Check(again.has_value() && *again == *v);
    Check(prambus::ValueText(row, *again, separator) == shown);
    // Storing it changes only what the row shows.
    prambus::Settings s;
    row.set(s, *v);
    Check(row.get(s) == *v);
  }
  return 0;
}
