#include "gui_test_environment.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include "welcome_dialog.h"

namespace prambus::test {
namespace {

// Presses "Это мне не нужно" in every welcome window that opens.
class WelcomeAnswerer : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* o, QEvent* e) override {
    if (e->type() == QEvent::Show && !DriveWelcomeWindow()) {
      if (auto* w = qobject_cast<WelcomeDialog*>(o))
        QTimer::singleShot(0, w, [w] { w->NotNeededButton()->click(); });
    }
    return false;
  }
};

QTemporaryDir& Home() {
  static QTemporaryDir home;
  return home;
}

}  // namespace

void Prepare() {
  qputenv("XDG_CONFIG_HOME", (Home().path() + "/config").toUtf8());
  qputenv("XDG_DATA_HOME", (Home().path() + "/data").toUtf8());
  qputenv("XDG_CACHE_HOME", (Home().path() + "/cache").toUtf8());
  qputenv("XDG_STATE_HOME", (Home().path() + "/state").toUtf8());
  qApp->installEventFilter(new WelcomeAnswerer(qApp));
}

bool& DriveWelcomeWindow() {
  static bool drive = false;
  return drive;
}

const char* TestHome() {
  static const QByteArray path = Home().path().toUtf8();
  return path.constData();
}

}  // namespace prambus::test

namespace {
void PrepareTestProcess() {
  prambus::test::Prepare();
}
}  // namespace
Q_COREAPP_STARTUP_FUNCTION(PrepareTestProcess)
