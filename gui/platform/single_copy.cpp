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
// How soon an asking copy connects again to a copy whose queue is full.
constexpr int kConnectRetryMs = 20;
// What a peer's requests are read in.
constexpr size_t kReadBytes = 64 * 1024;
// A peer whose answers, not taken, pile up past this is dropped.
constexpr size_t kMaxUnsent = 64 * 1024;
// An answer is "1\n" or "0\n": a first line longer than this is none.
constexpr size_t kMaxAnswer = 4096;

// Writes as much of `unsent` as the socket takes now; false when the
// connection failed.
bool SendSome(int fd, std::string& unsent) {
  while (!unsent.empty()) {
    const ssize_t n = ::send(fd, unsent.data(), unsent.size(), MSG_NOSIGNAL);
    if (n > 0) {
      unsent.erase(0, static_cast<size_t>(n));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
  }
  return true;
}

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

// A connection accepted from another copy: its requests are read as they
// come and its answers written as the socket takes them.
class SingleCopy::Peer : public QObject {
 public:
  Peer(int socketFd, QObject* parent)
      : QObject(parent),
        fd(socketFd),
        reading(socketFd, QSocketNotifier::Read),
        writing(socketFd, QSocketNotifier::Write) {
    writing.setEnabled(false);
    deadline.setSingleShot(true);
  }
  ~Peer() override { Close(); }
  void Close() {
    reading.setEnabled(false);
    writing.setEnabled(false);
    deadline.stop();
    if (fd >= 0) ::close(fd);
    fd = -1;
  }

  int fd;
  QSocketNotifier reading;
  QSocketNotifier writing;
  QTimer deadline;
  HandOverRequestReader reader;
  std::string unsent;  // answers the socket has not taken yet
};

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
  for (Peer* peer : peers_) delete peer;
  peers_.clear();
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
  auto* peer = new Peer(fd, this);
  peers_.insert(peer);
  connect(&peer->deadline, &QTimer::timeout, this, [this, peer] { Drop(peer); });
  peer->deadline.start(kPeerTimeMs);
  connect(&peer->writing, &QSocketNotifier::activated, this, [this, peer] {
    if (!SendSome(peer->fd, peer->unsent)) {
      Drop(peer);
      return;
    }
    peer->writing.setEnabled(!peer->unsent.empty());
  });
  connect(&peer->reading, &QSocketNotifier::activated, this, [this, peer] {
    char bytes[kReadBytes];
    ssize_t n;
    do {
      n = ::recv(peer->fd, bytes, sizeof bytes, 0);
    } while (n < 0 && errno == EINTR);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
    if (n <= 0) {  // gone, or the connection failed
      Drop(peer);
      return;
    }
    std::vector<HandOverRequest> requests;
    if (!peer->reader.Feed(std::string_view(bytes, static_cast<size_t>(n)), requests)) {
      Drop(peer);
      return;
    }
    bool shown = false;
    for (const HandOverRequest& r : requests) {
      const bool shows = r.valid && window_->ShowsFile(r);
      peer->unsent += shows ? "1\n" : "0\n";
      shown = shown || shows;
    }
    // A peer that sends requests without taking the answers is dropped
    // before they pile up.
    const bool sent = SendSome(peer->fd, peer->unsent) && peer->unsent.size() <= kMaxUnsent;
    if (shown) {
      window_->showNormal();
      window_->raise();
      window_->activateWindow();
    }
    if (!sent) {
      Drop(peer);
      return;
    }
    peer->writing.setEnabled(!peer->unsent.empty());
  });
}

void SingleCopy::Drop(Peer* peer) {
  if (!peers_.erase(peer)) return;
  peer->Close();
  peer->deleteLater();  // it may be the sender of the signal being handled
  if (notifier_ && !notifier_->isEnabled() && !retry_.isActive()) {
    notifier_->setEnabled(true);
    AcceptPending();
  }
}

namespace {
// Another copy being asked: connected to, sent the request, read for the
// first line of its answer.
struct Asked {
  QString path;
  int fd = -1;
  std::unique_ptr<QSocketNotifier> reading;
  std::unique_ptr<QSocketNotifier> writing;
  QTimer retry;  // connecting again while its queue is full
  std::string unsent;
  std::string received;
  bool finished = false;
  ~Asked() {
    reading.reset();
    writing.reset();
    if (fd >= 0) ::close(fd);
  }
};
}  // namespace

// Every other copy is asked at once; the first that shows the file ends the
// wait, and so does the deadline. Meanwhile the window repaints and its
// timers run; the user's keys and clicks wait until the answer is in.
bool SingleCopy::HandOver(const QString& title, quint32 hash) {
  return HandOver(FormatHandOverRequest(hash, title.toUtf8().toStdString()));
}

bool SingleCopy::HandOver(const std::string& requestLine) {
  QEventLoop loop;
  bool shown = false;
  int waiting = 0;
  std::vector<std::unique_ptr<Asked>> asked;
  auto finish = [&](Asked& a) {
    if (a.finished) return;
    a.finished = true;
    a.retry.stop();
    if (a.reading) a.reading->setEnabled(false);
    if (a.writing) a.writing->setEnabled(false);
    if (--waiting == 0) loop.quit();
  };
  auto writable = [&](Asked& a) {
    if (!SendSome(a.fd, a.unsent))
      finish(a);
    else
      a.writing->setEnabled(!a.unsent.empty());
  };
  auto readable = [&](Asked& a) {
    char bytes[256];
    ssize_t n;
    do {
      n = ::recv(a.fd, bytes, sizeof bytes, 0);
    } while (n < 0 && errno == EINTR);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
    if (n <= 0) {  // gone without a whole answer
      finish(a);
      return;
    }
    a.received.append(bytes, static_cast<size_t>(n));
    if (a.received.find('\n') == std::string::npos) {
      if (a.received.size() > kMaxAnswer) finish(a);  // no answer of ours
      return;
    }
    if (a.received[0] == '1') {
      shown = true;
      loop.quit();
    }
    finish(a);
  };
  auto connected = [&](Asked& a) {
    // Only the user's own program hears the request.
    if (!PeerIsUser(a.fd)) {
      finish(a);
      return;
    }
    a.reading = std::make_unique<QSocketNotifier>(a.fd, QSocketNotifier::Read);
    a.writing = std::make_unique<QSocketNotifier>(a.fd, QSocketNotifier::Write);
    a.writing->setEnabled(false);
    QObject::connect(a.reading.get(), &QSocketNotifier::activated,
                     [&readable, &a] { readable(a); });
    QObject::connect(a.writing.get(), &QSocketNotifier::activated,
                     [&writable, &a] { writable(a); });
    writable(a);
  };
  auto tryConnect = [&](Asked& a) {
    sockaddr_un addr{};
    const QByteArray name = QFile::encodeName(a.path);
    if (name.size() >= static_cast<qsizetype>(sizeof(addr.sun_path))) {
      finish(a);
      return;
    }
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, name.constData(), static_cast<size_t>(name.size()));
    if (::connect(a.fd, reinterpret_cast<const sockaddr*>(&addr), sizeof(addr)) == 0 ||
        errno == EISCONN) {
      connected(a);
      return;
    }
    switch (errno) {
      case EAGAIN:  // the copy's queue is full: once more a little later
      case EINTR:
      case EALREADY:
      case EINPROGRESS:
        a.retry.start(kConnectRetryMs);
        return;
      case ECONNREFUSED:
        QFile::remove(a.path);  // a copy that ended without cleaning up
        break;
      default:
        break;
    }
    finish(a);
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
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) continue;
    auto a = std::make_unique<Asked>();
    a->path = path;
    a->fd = fd;
    a->unsent = requestLine;
    a->retry.setSingleShot(true);
    Asked& ref = *a;
    QObject::connect(&a->retry, &QTimer::timeout, [&tryConnect, &ref] { tryConnect(ref); });
    asked.push_back(std::move(a));
    ++waiting;
    tryConnect(ref);
  }
  if (waiting > 0 && !shown) {
    QTimer::singleShot(kAskTimeMs, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
  }
  return shown;
}

}  // namespace prambus
