// One copy per file: every running copy listens on a per-user local socket;
// a copy about to open a file first asks the others whether one of them shows
// it (by its title and path hash, or by its name's bytes when they are not
// text). The one that does comes to the front.
//
// The listener answers every request of a connection in order, drops a peer
// whose line grows too long or who takes too long, serves a bounded number of
// peers at once, and never stops listening: when no descriptor is free to
// accept with, the peer waits in the queue until one is. Asking runs all
// copies at once under one deadline while the window keeps repainting.
//
// The sockets are plain local stream sockets watched by socket notifiers:
// the program needs no networking library for them.
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <QString>
#include <QTimer>
#include <set>
#include <string>

namespace prambus {

class MainWindow;

class SingleCopy : public QObject {
  Q_OBJECT
 public:
  // A peer may take this long to send its requests before it is dropped.
  static constexpr int kPeerTimeMs = 3000;
  // Asking the other copies takes at most this long, however many there are.
  static constexpr int kAskTimeMs = 2000;
  // Peers served at once; more wait in the queue.
  static constexpr int kMaxPeers = 32;

  explicit SingleCopy(MainWindow* window);
  ~SingleCopy() override;

  // True when another copy shows the file and has been brought to the front.
  // `requestLine` is a whole request (FormatHandOverRequest); the file may
  // also be asked about by its title and hash alone, when its name is text.
  static bool HandOver(const std::string& requestLine);
  static bool HandOver(const QString& title, quint32 hash);
  static QString Folder();
  // Where this copy listens.
  const QString& SocketPath() const { return path_; }

 private:
  bool Listen();
  void StopListening();
  void AcceptPending();
  void Retry();
  void Serve(int fd);
  class Peer;
  void Drop(Peer* peer);

  MainWindow* window_;
  QString path_;
  int listenFd_ = -1;
  QSocketNotifier* notifier_ = nullptr;
  QTimer retry_;
  std::set<Peer*> peers_;
};

}  // namespace prambus
