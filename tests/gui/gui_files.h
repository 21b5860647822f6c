// Whole-file helpers for the GUI tests.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace prambus {

inline QByteArray ReadAll(const QString& path) {
  QFile f(path);
  f.open(QIODevice::ReadOnly);
  return f.readAll();
}

inline void WriteAll(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  f.open(QIODevice::WriteOnly);
  f.write(bytes);
}

}  // namespace prambus
