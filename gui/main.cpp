// Прамбус: a text editor and hex editor in one window.
#include <QApplication>
#include <QIcon>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "main_window.h"
#include "platform/signal_pipe.h"
#include "shell/command_line.h"
#include "translations.h"

namespace {

// Status 1 when the text could not be written (a closed or full stream), as
// other command-line tools do, so that a script learns of it.
int Print(const std::string& text, FILE* stream, int status) {
  if (std::fputs(text.c_str(), stream) < 0 || std::fflush(stream) != 0) return 1;
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  using prambus::CommandLine;
  // Read before the toolkit starts: printing needs no display, and nothing
  // of the window, data.dat included, is touched.
  const CommandLine line =
      prambus::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  switch (line.request) {
    case CommandLine::Request::kHelp:
      return Print(prambus::HelpText(), stdout, 0);
    case CommandLine::Request::kVersion:
      return Print(prambus::VersionText(PRAMBUS_VERSION), stdout, 0);
    case CommandLine::Request::kMisuse:
      return Print(prambus::MisuseText(line.problem), stderr, 2);
    case CommandLine::Request::kOpen:
      break;
  }
  // Qt is given its own options only: the file name, whatever it looks
  // like, is never read as one of them.
  std::vector<std::string> toolkitArguments = line.toolkitOptions;
  std::vector<char*> toolkitArgv{argv[0]};
  for (std::string& option : toolkitArguments) toolkitArgv.push_back(option.data());
  toolkitArgv.push_back(nullptr);
  int toolkitArgc = static_cast<int>(toolkitArgv.size()) - 1;

  QApplication app(toolkitArgc, toolkitArgv.data());
  QApplication::setApplicationName("Прамбус");
  QApplication::setApplicationVersion(PRAMBUS_VERSION);
  // Lets the desktop match the window to the installed entry (its icon and
  // name in the task bar, on Wayland too).
  QGuiApplication::setDesktopFileName("prambus");
  prambus::InstallRussianTranslations(app);
  QIcon icon;
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
    icon.addFile(QString(":/art/prambus-%1.png").arg(size));
  QApplication::setWindowIcon(icon);
  // The session's end asks the program to end: the window keeps the work
  // for the next start and ends as "Выход" does, without asking.
  prambus::SignalPipe endSignals({SIGTERM, SIGHUP});
  // The file by the bytes it was named with: the toolkit's own list of
  // arguments holds them as text, which loses any byte that is not UTF-8.
  prambus::MainWindow window(line);
  std::unique_ptr<QSocketNotifier> ending;
  if (endSignals.Valid()) {
    ending = std::make_unique<QSocketNotifier>(endSignals.ReadFd(), QSocketNotifier::Read);
    QObject::connect(ending.get(), &QSocketNotifier::activated, &window, [&endSignals, &window] {
      if (endSignals.Take()) window.EndSession();
    });
  }
  window.show();
  return QApplication::exec();
}
