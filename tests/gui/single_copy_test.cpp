// The single-copy listener of the real main window, spoken to as another copy
// (or a misbehaving program) would: several requests in one write, a line
// that never ends, a peer that sends nothing, accepting without a free
// descriptor; and asking a copy that never answers.
#include "single_copy.h"

#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QLocalSocket>
#include <QTemporaryDir>
#include <QtTest>
#include <cstring>
#include <optional>

#include "gui_files.h"
#include "main_window.h"
#include "settings/settings.h"
#include "shell/handover_request.h"
#include "shown_window.h"

using namespace prambus;

namespace {
QByteArray Request(quint32 hash, const QString& title) {
  return QByteArray::fromStdString(FormatHandOverRequest(hash, title.toUtf8().toStdString()));
}

// A blocking connection made by hand, so the test decides when descriptors
// are taken.
int RawSocket() {
  return ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
}
bool RawConnect(int fd, const QString& path) {
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  const QByteArray name = QFile::encodeName(path);
  std::memcpy(addr.sun_path, name.constData(), static_cast<size_t>(name.size()));
  return ::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof(addr)) == 0;
}
}  // namespace

class SingleCopyTest : public QObject {
  Q_OBJECT
  std::optional<QTemporaryDir> dir_;
  std::unique_ptr<MainWindow> w_;
  QString title_;
  quint32 hash_ = 0;

  QString ServerPath() const { return w_->findChild<SingleCopy*>()->SocketPath(); }

 private slots:
  void init() {
    Cfg() = Settings{};
    dir_.emplace();
    WriteAll(dir_->filePath("shown.txt"), "text");
    w_ = ShowWindow(dir_->path(), dir_->filePath("shown.txt"));
    QVERIFY(w_);
    title_ = "shown.txt - Прамбус";
    hash_ = w_->WindowHash();
  }
  void cleanup() { w_.reset(); }

  void everyRequestOfAWriteIsAnswered() {
    QLocalSocket s;
    s.connectToServer(ServerPath());
    QVERIFY(s.waitForConnected(1000));
    s.write(Request(hash_ + 1, title_) + Request(hash_, title_) + "garbage\n");
    QByteArray answers;
    QTRY_VERIFY((answers += s.readAll()).count('\n') == 3);
    QCOMPARE(answers, QByteArray("0\n1\n0\n"));
    // A request split over two writes is one request.
    const QByteArray r = Request(hash_, title_);
    s.write(r.left(4));
    s.flush();
    QTest::qWait(50);
    s.write(r.mid(4));
    QByteArray answer;
    QTRY_VERIFY((answer += s.readAll()).contains('\n'));
    QCOMPARE(answer, QByteArray("1\n"));
  }

  void endlessLinesAndSilentPeersAreDropped() {
    QLocalSocket flood;
    flood.connectToServer(ServerPath());
    QVERIFY(flood.waitForConnected(1000));
    flood.write(QByteArray(1 << 20, 'x'));  // a megabyte without a line end
    QTRY_VERIFY(flood.state() == QLocalSocket::UnconnectedState);
    QLocalSocket silent;
    silent.connectToServer(ServerPath());
    QVERIFY(silent.waitForConnected(1000));
    QTRY_VERIFY_WITH_TIMEOUT(silent.state() == QLocalSocket::UnconnectedState,
                             SingleCopy::kPeerTimeMs + 5000);
    // The copy still answers.
    QLocalSocket s;
    s.connectToServer(ServerPath());
    QVERIFY(s.waitForConnected(1000));
    s.write(Request(hash_, title_));
    QByteArray answer;
    QTRY_VERIFY((answer += s.readAll()).contains('\n'));
    QCOMPARE(answer, QByteArray("1\n"));
  }

  // With no descriptor free, the peer waits in the queue and is answered once
  // one is free again: the copy never stops listening.
  void acceptingWithoutAFreeDescriptorKeepsListening() {
    const int fd = RawSocket();
    QVERIFY(fd >= 0);
    rlimit saved{};
    QVERIFY(getrlimit(RLIMIT_NOFILE, &saved) == 0);
    const int lowestFree = ::dup(0);
    ::close(lowestFree);
    rlimit tight = saved;
    tight.rlim_cur = static_cast<rlim_t>(lowestFree);  // no new descriptor at all
    QVERIFY(setrlimit(RLIMIT_NOFILE, &tight) == 0);
    const bool connected = RawConnect(fd, ServerPath());
    const QByteArray r = Request(hash_, title_);
    const bool sent =
        connected && ::write(fd, r.constData(), static_cast<size_t>(r.size())) == r.size();
    QTest::qWait(300);  // the copy tries to accept and cannot
    QVERIFY(setrlimit(RLIMIT_NOFILE, &saved) == 0);
    QVERIFY(connected && sent);
    QByteArray answer;
    QTRY_VERIFY([&] {
      char buf[8];
      const ssize_t n = ::recv(fd, buf, sizeof buf, MSG_DONTWAIT);
      if (n > 0) answer.append(buf, n);
      return answer.contains('\n');
    }());
    ::close(fd);
    QCOMPARE(answer, QByteArray("1\n"));
  }

  // A copy that accepts but never answers costs the asking copy one bounded
  // wait, during which its window keeps running; then the file opens here.
  void askingAFrozenCopyDoesNotBlockTheWindow() {
    const QString frozenPath = SingleCopy::Folder() + "/copy-frozen-" +
                               QString::number(QCoreApplication::applicationPid());
    const int frozen = RawSocket();
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(frozenPath);
    std::memcpy(addr.sun_path, name.constData(), static_cast<size_t>(name.size()));
    ::unlink(name.constData());
    QVERIFY(::bind(frozen, reinterpret_cast<const sockaddr*>(&addr), sizeof(addr)) == 0);
    QVERIFY(::listen(frozen, 8) == 0);

    WriteAll(dir_->filePath("other.txt"), "other");
    bool ticked = false;
    QTimer::singleShot(100, [&] { ticked = true; });
    w_->OpenPath(dir_->filePath("other.txt"));
    QVERIFY(ticked);  // timers ran while the copies were asked
    QCOMPARE(w_->windowTitle(), QString("other.txt - Прамбус"));
    ::close(frozen);
    ::unlink(name.constData());
  }
};

QTEST_MAIN(SingleCopyTest)
#include "single_copy_test.moc"
