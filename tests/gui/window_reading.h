// What the GUI tests read back from the real window: the document as the
// view holds it, the encoding items; and a small encoding file.
#pragma once

#include <QAction>
#include <QByteArray>
#include <QStringList>
#include <string>

#include "main_window.h"

namespace prambus {

// The rows of the view joined: the document as the view shows it.
inline std::string DocumentText(const ViewBase* v) {
  std::string s;
  for (int r = 0; r <= v->LastRow(); ++r) s += v->GetRow(r);
  return s;
}

// The captions of the encoding items that carry the mark.
inline QStringList CheckedEncodings(const MainWindow& w) {
  QStringList out;
  for (const QAction* item : w.EncodingActions())
    if (item->isChecked()) out << item->text();
  return out;
}

// The encoding item with this caption; null when the menu has none.
inline QAction* EncodingItem(const MainWindow& w, const QString& caption) {
  for (QAction* item : w.EncodingActions())
    if (item->text() == caption) return item;
  return nullptr;
}

// An .enc file whose table swaps the letters a and b.
inline QByteArray SwapAbEncoding() {
  QByteArray enc;
  for (int i = 0; i < 256; ++i)
    enc += QByteArray::number(i == 'a' ? 'b' : i == 'b' ? 'a' : i) + "\n";
  return enc;
}

}  // namespace prambus
