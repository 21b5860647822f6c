// One copy per file: every running copy listens on a per-user local socket;
// a copy about to open a file first asks the others whether one of them shows
// it (same title and path hash). The one that does comes to the front.
#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

namespace prambus {

class MainWindow;

class SingleCopy : public QObject {
  Q_OBJECT
 public:
  explicit SingleCopy(MainWindow* window);
  ~SingleCopy() override;

  // True when another copy shows the file and has been brought to the front.
  static bool HandOver(const QString& title, quint32 hash, const MainWindow* self);
  static QString Folder();

 private:
  void Answer();

  MainWindow* window_;
  QLocalServer server_;
  QString path_;
};

}  // namespace prambus
