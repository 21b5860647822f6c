#include "encodings/code_tables.h"

namespace prambus {

const CodeTable& WindowsTable() {
  static const CodeTable t = IdentityTable();
  return t;
}

const CodeTable& DosTable() {
  static const CodeTable t = [] {
    CodeTable d = IdentityTable();
    for (int b = 128; b <= 159; ++b) d[b] = static_cast<uint8_t>(b + 64);  // А..Я
    for (int b = 160; b <= 175; ++b) d[b] = static_cast<uint8_t>(b + 64);  // а..п
    static const uint8_t box[48] = {128, 129, 130, 178, 131, 132, 133, 136, 179, 137, 138, 139,
                                    140, 141, 142, 172, 144, 145, 146, 147, 151, 134, 148, 150,
                                    187, 153, 154, 155, 156, 157, 158, 159, 163, 165, 166, 167,
                                    169, 171, 173, 174, 135, 177, 180, 181, 182, 188, 189, 190};
    for (int i = 0; i < 48; ++i) d[176 + i] = box[i];
    for (int b = 224; b <= 239; ++b) d[b] = static_cast<uint8_t>(b + 16);  // р..я
    static const uint8_t tail[16] = {168, 184, 170, 186, 175, 191, 161, 162,
                                     176, 149, 183, 143, 185, 164, 152, 160};
    for (int i = 0; i < 16; ++i) d[240 + i] = tail[i];
    return d;
  }();
  return t;
}

CodeTable DosForOutputTable() {
  CodeTable t = DosTable();
  t[0] = 0;
  t[1] = 0;
  t[2] = kConvDosForOutput;
  return t;
}

CodeTable MarkerTable(uint8_t kind) {
  CodeTable t{};
  t[2] = kind;
  return t;
}

bool CanShowDocument(const CodeTable& t) {
  bool seen[256] = {};
  for (uint8_t c : t) {
    if (seen[c]) return false;
    seen[c] = true;
  }
  return true;
}

}  // namespace prambus
