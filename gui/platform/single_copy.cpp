#include "single_copy.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "main_window.h"
#include "shell/handover_folder.h"
#include "shell/handover_request.h"

namespace prambus {

namespace {
// How soon a listener short of descriptors, or whose socket failed, tries again.
constexpr int kRetryMs = 200;

std::set<QString>& OwnServers() {
  static std::set<QString> own;
  return own;
}
}  // namespace

namespace {
std::string RuntimeDir() {
  const char* dir = std::getenv("XDG_RUNTIME_DIR");
  return dir ? dir : "";
}
std::string TempDir() {
  return QFile::encodeName(QDir::tempPath()).toStdString();
}
QString FromLocal(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}
}  // namespace

QString SingleCopy::Folder() {
  return FromLocal(HandOverFolder(RuntimeDir(), TempDir()));
}

SingleCopy::SingleCopy(MainWindow* window) : QObject(window), window_(window) {
  static int counter = 0;
  retry_.setSingleShot(true);
  connect(&retry_, &QTimer::timeout, this, &SingleCopy::Retry);
  const QString folder = Folder();
  if (folder.isEmpty()) return;  // no private place to meet: no hand-over
  // Copies killed before they could remove their sockets leave them behind.
  if (counter == 0) RemoveStaleSockets(QFile::encodeName(folder).toStdString());
  path_ = folder + "/copy-" + QString::number(QCoreApplication::applicationPid()) + "-" +
          QString::number(++counter);
  if (!Listen()) retry_.start(kRetryMs);
}

SingleCopy::~SingleCopy() {
  for (QLocalSocket* peer : peers_) {
    disconnect(peer, nullptr, this, nullptr);
    delete peer;
  }
  StopListening();
}

bool SingleCopy::Listen() {
  const QByteArray name = QFile::encodeName(path_);
  // Bound under a name no other copy looks at and given its own name only
  // once it listens: a copy starting meanwhile, clearing the sockets nobody
  // listens on, never takes it for a stale one.
  const QByteArray bound = QFile::encodeName(QFileInfo(path_).absolutePath() + "/bind-" +
                                             QFileInfo(path_).fileName().mid(5));
  sockaddr_un addr{};
  if (bound.size() >= static_cast<qsizetype>(sizeof(addr.sun_path))) return false;
  addr.sun_family = AF_UNIX;
  std::memcpy(addr.sun_path, bound.constData(), static_cast<size_t>(bound.size()));
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  ::unlink(bound.constData());
  if (::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof(addr)) != 0 ||
      ::listen(fd, 64) != 0 || ::rename(bound.constData(), name.constData()) != 0) {
    ::unlink(bound.constData());
    ::close(fd);
    return false;
  }
  listenFd_ = fd;
  OwnServers().insert(path_);
  notifier_ = new QSocketNotifier(fd, QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &SingleCopy::AcceptPending);
  return true;
}

void SingleCopy::StopListening() {
  delete notifier_;
  notifier_ = nullptr;
  if (listenFd_ >= 0) {
    ::close(listenFd_);
    ::unlink(QFile::encodeName(path_).constData());
    OwnServers().erase(path_);
  }
  listenFd_ = -1;
}

void SingleCopy::Retry() {
  if (listenFd_ < 0) {
    if (!Listen()) retry_.start(kRetryMs);
    return;
  }
  notifier_->setEnabled(true);
  AcceptPending();
}

void SingleCopy::AcceptPending() {
  while (listenFd_ >= 0) {
    if (static_cast<int>(peers_.size()) >= kMaxPeers) {
      notifier_->setEnabled(false);  // taken up again when a peer goes
      return;
    }
    const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd >= 0) {
      Serve(fd);
      continue;
    }
    switch (errno) {
      case EAGAIN:
      case EINTR:
      case ECONNABORTED:
      case EPROTO:
        if (errno == EAGAIN) return;
        continue;
      case EMFILE:
      case ENFILE:
      case ENOBUFS:
      case ENOMEM:
        // No descriptor to accept with: the peer stays queued until one is free.
        notifier_->setEnabled(false);
        retry_.start(kRetryMs);
        return;
      default:
        // The listening socket itself failed: listen anew.
        StopListening();
        retry_.start(kRetryMs);
        return;
    }
  }
}

// Answers each request of a peer, in order, until it goes, sends a line too
// long or takes too long.
void SingleCopy::Serve(int fd) {
  // Only the user's own programs are answered (the folder is private, but a
  // socket may be reached by other ways, such as a descriptor passed on).
  if (!PeerIsUser(fd)) {
    ::close(fd);
    return;
  }
  auto* peer = new QLocalSocket(this);
  if (!peer->setSocketDescriptor(fd)) {
    ::close(fd);
    delete peer;
    return;
  }
  peers_.insert(peer);
  peer->setReadBufferSize(64 * 1024);
  auto* deadline = new QTimer(peer);
  deadline->setSingleShot(true);
  connect(deadline, &QTimer::timeout, this, [this, peer] { Drop(peer); });
  deadline->start(kPeerTimeMs);
  auto reader = std::make_shared<HandOverRequestReader>();
  connect(peer, &QLocalSocket::disconnected, this, [this, peer] { Drop(peer); });
  connect(peer, &QLocalSocket::readyRead, this, [this, peer, reader] {
    const QByteArray bytes = peer->readAll();
    std::vector<HandOverRequest> requests;
    if (!reader->Feed(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())),
                      requests)) {
      Drop(peer);
      return;
    }
    bool shown = false;
    for (const HandOverRequest& r : requests) {
      const bool shows = r.valid && window_->ShowsFile(r);
      peer->write(shows ? "1\n" : "0\n");
      shown = shown || shows;
    }
    peer->flush();
    if (shown) {
      window_->showNormal();
      window_->raise();
      window_->activateWindow();
    }
  });
}

void SingleCopy::Drop(QLocalSocket* peer) {
  if (!peers_.erase(peer)) return;
  disconnect(peer, nullptr, this, nullptr);
  peer->abort();
  peer->deleteLater();
  if (notifier_ && !notifier_->isEnabled() && !retry_.isActive()) {
    notifier_->setEnabled(true);
    AcceptPending();
  }
}

// Every other copy is asked at once; the first that shows the file ends the
// wait, and so does the deadline. Meanwhile the window repaints and its
// timers run; the user's keys and clicks wait until the answer is in.
bool SingleCopy::HandOver(const QString& title, quint32 hash) {
  return HandOver(FormatHandOverRequest(hash, title.toUtf8().toStdString()));
}

bool SingleCopy::HandOver(const std::string& requestLine) {
  const QByteArray request = QByteArray::fromStdString(requestLine);
  QEventLoop loop;
  bool shown = false;
  int waiting = 0;
  std::vector<std::unique_ptr<QLocalSocket>> sockets;
  auto done = [&] {
    if (--waiting == 0) loop.quit();
  };
  QStringList paths;
  for (const std::string& folder : HandOverFolders(RuntimeDir(), TempDir())) {
    const QDir dir(FromLocal(folder));
    for (const QString& name : dir.entryList({"copy-*"}, QDir::System | QDir::Files))
      paths << dir.filePath(name);
  }
  for (const QString& path : paths) {
    // Only sockets of the user's, listened on by the user's own program.
    if (OwnServers().count(path) || !IsOwnSocket(QFile::encodeName(path).toStdString())) continue;
    auto socket = std::make_unique<QLocalSocket>();
    QLocalSocket* s = socket.get();
    ++waiting;
    auto finished = std::make_shared<bool>(false);
    auto finish = [&, finished] {
      if (*finished) return;
      *finished = true;
      done();
    };
    QObject::connect(s, &QLocalSocket::connected, [s, request, finish] {
      if (!PeerIsUser(static_cast<int>(s->socketDescriptor()))) {
        s->abort();
        finish();
        return;
      }
      s->write(request);
    });
    QObject::connect(s, &QLocalSocket::readyRead, [&, s, finish] {
      if (!s->canReadLine()) return;
      if (s->readLine().startsWith("1")) {
        shown = true;
        loop.quit();
      }
      finish();
    });
    QObject::connect(
        s, &QLocalSocket::errorOccurred, [s, path, finish](QLocalSocket::LocalSocketError e) {
          if (e == QLocalSocket::ConnectionRefusedError || e == QLocalSocket::ServerNotFoundError)
            QFile::remove(path);  // a copy that ended without cleaning up
          s->abort();
          finish();
        });
    sockets.push_back(std::move(socket));
    s->connectToServer(path);
  }
  if (waiting > 0 && !shown) {
    QTimer::singleShot(kAskTimeMs, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
  }
  for (auto& s : sockets) {
    QObject::disconnect(s.get(), nullptr, nullptr, nullptr);
    s->abort();
  }
  return shown;
}

}  // namespace prambus
