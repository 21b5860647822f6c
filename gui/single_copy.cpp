#include "single_copy.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>
#include <set>

#include "main_window.h"

namespace prambus {

namespace {
std::set<QString>& OwnServers() {
  static std::set<QString> own;
  return own;
}
}  // namespace

QString SingleCopy::Folder() {
  QString base = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (base.isEmpty()) base = QDir::tempPath();
  const QString dir = base + "/prambus-" + QString::number(getuid());
  QDir().mkpath(dir);
  return dir;
}

SingleCopy::SingleCopy(MainWindow* window) : QObject(window), window_(window) {
  static int counter = 0;
  path_ = Folder() + "/copy-" + QString::number(QCoreApplication::applicationPid()) + "-" +
          QString::number(++counter);
  QLocalServer::removeServer(path_);
  if (server_.listen(path_)) OwnServers().insert(path_);
  connect(&server_, &QLocalServer::newConnection, this, &SingleCopy::Answer);
}

SingleCopy::~SingleCopy() {
  OwnServers().erase(path_);
  server_.close();
}

// A request is "hash TAB title NEWLINE"; the answer "1" or "0".
void SingleCopy::Answer() {
  while (QLocalSocket* s = server_.nextPendingConnection()) {
    connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
    connect(s, &QLocalSocket::readyRead, this, [this, s] {
      if (!s->canReadLine()) return;
      const QString line = QString::fromUtf8(s->readLine()).chopped(1);
      const int tab = line.indexOf('\t');
      const quint32 hash = line.left(tab).toUInt();
      const QString title = line.mid(tab + 1);
      const bool shows = tab > 0 && window_->ShowsFile(title, hash);
      s->write(shows ? "1\n" : "0\n");
      s->flush();
      if (shows) {
        window_->showNormal();
        window_->raise();
        window_->activateWindow();
      }
    });
  }
}

bool SingleCopy::HandOver(const QString& title, quint32 hash, const MainWindow*) {
  const QDir dir(Folder());
  for (const QString& name : dir.entryList({"copy-*"}, QDir::System | QDir::Files)) {
    const QString path = dir.filePath(name);
    if (OwnServers().count(path)) continue;
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(300)) {
      if (socket.error() == QLocalSocket::ConnectionRefusedError ||
          socket.error() == QLocalSocket::ServerNotFoundError)
        QFile::remove(path);  // a copy that ended without cleaning up
      continue;
    }
    socket.write(QByteArray::number(hash) + "\t" + title.toUtf8() + "\n");
    socket.flush();
    if (socket.waitForReadyRead(2000) && socket.readLine().startsWith("1")) return true;
  }
  return false;
}

}  // namespace prambus
