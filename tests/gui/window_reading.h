// What the GUI tests read back from the real window: the document as the
// view holds it, the marked encoding items; and a small encoding file.
#pragma once

#include <QByteArray>
#include <QList>
#include <string>

#include "main_window.h"

namespace prambus {

// The rows of the view joined: the document as the view shows it.
inline std::string DocumentText(const ViewBase* v) {
  std::string s;
  for (int r = 0; r <= v->LastRow; ++r) s += v->GetRow(r);
  return s;
}

// The positions of the encoding items that carry the mark.
inline QList<int> CheckedEncodings(const MainWindow& w) {
  QList<int> out;
  for (size_t i = 0; i < w.EncodingActions().size(); ++i)
    if (w.EncodingActions()[i]->isChecked()) out << static_cast<int>(i);
  return out;
}

// An .enc file whose table swaps the letters a and b.
inline QByteArray SwapAbEncoding() {
  QByteArray enc;
  for (int i = 0; i < 256; ++i)
    enc += QByteArray::number(i == 'a' ? 'b' : i == 'b' ? 'a' : i) + "\n";
  return enc;
}

}  // namespace prambus
