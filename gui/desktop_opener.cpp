#include "desktop_opener.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace prambus {

void OpenWithDesktop(const QString& file, QObject* owner, std::function<void()> onFailure) {
  if (QStandardPaths::findExecutable("xdg-open").isEmpty()) {
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(file))) onFailure();
    return;
  }
  // xdg-open reports "no program" by its exit code, but without a desktop it
  // may also wait for the browser it started. The shell in between lets the
  // browser outlive this program: ending the process ends only the shell.
  auto* process = new QProcess(owner);
  process->setStandardInputFile(QProcess::nullDevice());
  process->setStandardOutputFile(QProcess::nullDevice());
  process->setStandardErrorFile(QProcess::nullDevice());
  QObject::connect(process, &QProcess::finished, process,
                   [process, onFailure](int code, QProcess::ExitStatus status) {
                     if (status == QProcess::NormalExit && code != 0) onFailure();
                     process->deleteLater();
                   });
  QObject::connect(process, &QProcess::errorOccurred, process,
                   [process, onFailure](QProcess::ProcessError error) {
                     if (error != QProcess::FailedToStart) return;
                     onFailure();
                     process->deleteLater();
                   });
  QObject::connect(qApp, &QCoreApplication::aboutToQuit, process, [process] {
    process->kill();
    process->waitForFinished(1000);
  });
  process->start("/bin/sh", {"-c", "xdg-open \"$1\" & wait $!", "sh", file});
}

}  // namespace prambus
