// The program started from a shell: --help and --version print and end
// without a display and without touching data.dat, a wrong option ends with
// status 2, and a file whose name looks like an option is opened after "--"
// and handed to the copy that already shows it.
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <optional>

#include "settings/data_file.h"
#include "settings/settings.h"
#include "shell/file_rules.h"
#include "single_copy.h"

using namespace prambus;

class CommandLineGuiTest : public QObject {
  Q_OBJECT
  std::optional<QTemporaryDir> dir_;
  QString Path(const QString& name) const { return dir_->filePath(name); }

  // A copy of the program in a folder of its own, where it would keep its
  // data.dat, with the user's folders beside it.
  QString Program() const { return Path("app/prambus"); }
  QProcessEnvironment Environment(bool withDisplay) const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", Path("config"));
    env.insert("XDG_DATA_HOME", Path("data"));
    if (withDisplay) {
      env.insert("QT_QPA_PLATFORM", "offscreen");
    } else {
      for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) env.remove(name);
    }
    return env;
  }
  struct Run {
    int status = -1;
    QString out, err;
  };
  Run RunToEnd(const QStringList& arguments) {
    QProcess p;
    p.setProcessEnvironment(Environment(false));
    p.setWorkingDirectory(Path("work"));
    p.start(Program(), arguments);
    if (!p.waitForFinished(30000)) p.kill();
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
  }
  // Nothing of the user's settings was read or written: no data.dat and no
  // settings folder anywhere.
  bool SettingsUntouched() const {
    return QDir(Path("app")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries) ==
               QStringList{"prambus"} &&
           !QFileInfo::exists(Path("config/prambus"));
  }

 private slots:
  void init() {
    dir_.emplace();
    QVERIFY(QDir().mkpath(Path("app")) && QDir().mkpath(Path("work")));
    QVERIFY(QFile::copy(PRAMBUS_BINARY, Program()));
  }
  void cleanup() { dir_.reset(); }

  void printingOptionsEndWithoutAWindow() {
    const Run version = RunToEnd({"--version"});
    QCOMPARE(version.status, 0);
    QVERIFY(version.out.startsWith("Прамбус "));
    QVERIFY(version.err.isEmpty());
    const Run help = RunToEnd({"a.txt", "-h"});
    QCOMPARE(help.status, 0);
    QVERIFY(help.out.startsWith("Использование: prambus"));
    QVERIFY(help.out.contains("--version"));
    QVERIFY(SettingsUntouched());
  }

  void wrongUseEndsWithStatusTwoAndTheReason() {
    const Run unknown = RunToEnd({"--frobnicate", "a.txt"});
    QCOMPARE(unknown.status, 2);
    QVERIFY(unknown.out.isEmpty());
    QVERIFY(unknown.err.startsWith("prambus: я не знаю параметра «--frobnicate»."));
    QVERIFY(unknown.err.contains("prambus --help"));
    const Run two = RunToEnd({"a.txt", "b.txt"});
    QCOMPARE(two.status, 2);
    QVERIFY(two.err.contains("«b.txt»"));
    QVERIFY(SettingsUntouched());
  }

  void aNameLikeAnOptionOpensAfterTheDoubleDash() {
    // "-platform" is one of Qt's own options: given to Qt, it would have
    // eaten the name, or taken the next argument for a platform.
    const QString name = "-platform";
    QFile file(Path("work/" + name));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("text") == 4);
    file.close();
    QVERIFY(WriteDataFile(Path("app/data.dat").toStdString(), StoredState{}, Settings{}));
    QProcess first;
    first.setProcessEnvironment(Environment(true));
    first.setWorkingDirectory(Path("work"));
    first.start(Program(), {"--", name});
    QVERIFY(first.waitForStarted());
    const QString path = QFileInfo(Path("work/" + name)).absoluteFilePath();
    const quint32 hash =
        PathHash(std::u16string(reinterpret_cast<const char16_t*>(path.utf16()), path.size()));
    QTRY_VERIFY_WITH_TIMEOUT(SingleCopy::HandOver(name + " - Прамбус", hash), 30000);
    // A second copy asked for the same file by its relative name hands it
    // over and ends.
    QProcess second;
    second.setProcessEnvironment(first.processEnvironment());
    second.setWorkingDirectory(Path("work"));
    second.start(Program(), {"--", name});
    QVERIFY(second.waitForFinished(30000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(first.state(), QProcess::Running);
    first.kill();
    first.waitForFinished();
  }
};

QTEST_MAIN(CommandLineGuiTest)
#include "command_line_gui_test.moc"
