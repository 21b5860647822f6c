// Files whose names are not text (bytes 0xFF 0xFE, a Latin-1 "é") on the
// real window and the real program: opened from the command line and by a
// drop, edited and saved into the very same name, listed in the recent list
// and reopened from it after a restart, pinned, and handed over to the copy
// that shows them, and restored from a recovery copy.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QLocalSocket>
#include <QMimeData>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <optional>
#include <set>
#include <string>

#include "extensions/recovery_copy.h"
#include "main_window.h"
#include "pinned_files_dialog.h"
#include "plugin_callbacks.h"
#include "recent_switcher.h"
#include "recovery_list_dialog.h"
#include "scripted_prompts.h"
#include "settings/data_file.h"
#include "settings/settings.h"
#include "shell/command_line.h"
#include "shell/file_rules.h"
#include "shell/handover_request.h"
#include "single_copy.h"
#include "text/utf8_scan.h"

using namespace prambus;

namespace {
const std::string kBadName = "bad\xff\xfe.txt";
const std::string kLatinName = "caf\xe9.txt";  // "café" in Latin-1

std::string Bytes(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

// Files by their names' bytes: the toolkit's file calls take names as text.
void WriteBytes(const std::string& path, const std::string& content) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  QVERIFY(fd >= 0);
  QCOMPARE(::write(fd, content.data(), content.size()), static_cast<ssize_t>(content.size()));
  ::close(fd);
}
std::string ReadBytes(const std::string& path) {
  std::string content;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return "<none>";
  char buf[4096];
  for (ssize_t n; (n = ::read(fd, buf, sizeof buf)) > 0;) content.append(buf, size_t(n));
  ::close(fd);
  return content;
}
std::set<std::string> NamesIn(const std::string& folder) {
  std::set<std::string> names;
  if (DIR* d = ::opendir(folder.c_str())) {
    while (const dirent* e = ::readdir(d))
      if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") names.insert(e->d_name);
    ::closedir(d);
  }
  return names;
}

std::string Text(const MainWindow& w) {
  std::string s;
  for (int r = 0; r <= w.View()->LastRow(); ++r) s += w.View()->GetRow(r);
  return s;
}

// A file URL as a file manager drops it: every byte that is not plain
// ASCII percent-encoded.
QUrl DroppedUrl(const std::string& path) {
  return QUrl::fromEncoded("file://" + QByteArray::fromStdString(path).toPercentEncoding("/"),
                           QUrl::StrictMode);
}
}  // namespace

class FileNamesTest : public QObject {
  Q_OBJECT
  std::optional<QTemporaryDir> dir_;
  std::string folder_, bad_, latin_, data_;
  std::unique_ptr<MainWindow> w_;
  ScriptedPrompts* prompts_ = nullptr;

  // The window as the program starts it: the command line read from bytes.
  bool Start(const std::vector<std::string>& arguments,
             std::function<int(RecoveryListDialog&)> recoveryList = {}) {
    w_ = std::make_unique<MainWindow>(ParseCommandLine(arguments), dir_->path());
    prompts_ = &ScriptedPrompts::InstallOn(*w_);
    prompts_->recoveryList = std::move(recoveryList);
    w_->show();
    w_->activateWindow();
    return QTest::qWaitForWindowExposed(w_.get());
  }
  QWidget* Keys() const { return w_->centralWidget(); }
  std::set<std::string> DataFolderNames() const {
    std::set<std::string> names = NamesIn(folder_);
    names.erase("data.dat");
    return names;
  }

 private slots:
  void init() {
    Cfg() = Settings{};
    dir_.emplace();
    folder_ = Bytes(dir_->path());
    bad_ = folder_ + "/" + kBadName;
    latin_ = folder_ + "/" + kLatinName;
    WriteBytes(bad_, "old\r\n");
    WriteBytes(latin_, "latin");
  }
  void cleanup() {
    w_.reset();
    // The toolkit removes a folder by names as text: those that are not are
    // removed here first.
    for (const std::string& name : NamesIn(folder_))
      if (!IsWellFormedUtf8(name)) ::unlink((folder_ + "/" + name).c_str());
    dir_.reset();
  }

  void openedEditedAndSavedUnderItsOwnBytes() {
    QVERIFY(Start({bad_}));
    QCOMPARE(w_->Doc().path, bad_);
    QCOMPARE(Text(*w_), std::string("old\r\n"));
    QCOMPARE(w_->windowTitle(), QString("bad\\xFF\\xFE.txt - Прамбус"));
    QVERIFY(prompts_->notes.isEmpty());

    QTest::keyClick(Keys(), Qt::Key_N);
    QVERIFY(w_->Modified());
    w_->Actions().save->trigger();
    QVERIFY(!w_->Modified());
    QCOMPARE(ReadBytes(bad_), std::string("nold\r\n"));
    // "Сохранить как..." offers the name as text and gets it back so: that
    // is still this file, not a new one named with replacement characters.
    QTest::keyClick(Keys(), Qt::Key_O);
    prompts_->saveNames = {QFile::decodeName(QByteArray::fromStdString(bad_))};
    w_->Actions().saveAs->trigger();
    QVERIFY(!w_->Modified());
    QCOMPARE(ReadBytes(bad_), std::string("noold\r\n"));
    QCOMPARE(w_->Doc().path, bad_);
    QCOMPARE(DataFolderNames(), (std::set<std::string>{kBadName, kLatinName}));
    QVERIFY(prompts_->notes.isEmpty());
  }

  // A name typed as text beside a file whose name only looks like it (both
  // shown the same by the dialog): nothing is written anywhere.
  void aDialogAnswerThatFitsTwoFilesWritesNeither() {
    QVERIFY(Start({bad_}));
    const QString text = QFile::decodeName(QByteArray::fromStdString(bad_));
    WriteBytes(Bytes(text), "the other");
    QTest::keyClick(Keys(), Qt::Key_N);
    prompts_->saveNames = {text};
    w_->Actions().saveAs->trigger();
    QVERIFY(w_->Modified());
    QCOMPARE(ReadBytes(bad_), std::string("old\r\n"));
    QCOMPARE(ReadBytes(Bytes(text)), std::string("the other"));
    QCOMPARE(prompts_->notes.size(), 1);
    QVERIFY(prompts_->notes[0].contains("подходит к двум файлам"));
  }

  void droppedListedAndReopenedFromTheRecentListAfterARestart() {
    QVERIFY(Start({bad_}));
    QMimeData mime;
    mime.setUrls({DroppedUrl(latin_)});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w_.get(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w_.get(), &drop);
    QCOMPARE(w_->Doc().path, latin_);
    QCOMPARE(Text(*w_), std::string("latin"));
    QCOMPARE(w_->windowTitle(), QString("caf\\xE9.txt - Прамбус"));
    QCOMPARE(w_->State().recent[0].path, bad_);
    emit w_->Menus().file->aboutToShow();
    QCOMPARE(w_->Menus().file->actions()[7]->text(), QString("bad\\xFF\\xFE.txt"));
    // Pinned with its bytes as well.
    prompts_->pinnedFiles = [](PinnedFilesDialog& d) {
      d.addCurrentButton->click();
      return int(QDialog::Accepted);
    };
    w_->Actions().pinnedFiles->trigger();
    QCOMPARE(w_->State().pinned.size(), size_t{1});
    QCOMPARE(w_->State().pinned[0].path, latin_);
    w_->Exit();
    StoredState stored;
    Settings settings;
    QVERIFY(ReadDataFile(folder_ + "/data.dat", stored, settings));
    QCOMPARE(stored.recent[0].path, latin_);
    QCOMPARE(stored.recent[1].path, bad_);
    QCOMPARE(stored.pinned[0].path, latin_);

    // Started afresh with no file, Ctrl+Tab opens the name data.dat kept.
    w_.reset();
    QVERIFY(Start({}));
    QCOMPARE(w_->State().recent[1].path, bad_);
    QTRY_VERIFY(w_->isActiveWindow());
    QTest::keyPress(Keys(), Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(w_->Switcher()->Layout().names[1], std::string("bad\\xFF\\xFE.txt"));
    QTest::keyPress(Keys(), Qt::Key_Tab, Qt::ControlModifier);
    QTest::keyRelease(Keys(), Qt::Key_Control);
    QCOMPARE(w_->Doc().path, bad_);
    QCOMPARE(Text(*w_), std::string("old\r\n"));
    QVERIFY(prompts_->notes.isEmpty());
  }

  // A recovery copy of work on the file, left by a program that died: it
  // comes back named for the file, and saving it writes that file.
  void aRecoveredDocumentIsSavedIntoItsOwnName() {
    const std::string recovery = folder_ + "/recovery";
    QCOMPARE(::mkdir(recovery.c_str(), 0700), 0);
    WriteBytes(recovery + "/prambus-1-0.recovery",
               FormatRecoveryManifest({bad_, "Падающий плагин", 1, 0}));
    WriteBytes(recovery + "/prambus-1-0.document", "recovered");
    QVERIFY(Start({}, [](RecoveryListDialog& list) {
      if (list.Chosen() >= 0) return int(RecoveryListDialog::kLater);
      list.OpenButton()->click();
      return list.result();
    }));
    QTRY_COMPARE(w_->windowTitle(), QString("* bad\\xFF\\xFE.txt - Прамбус"));
    QCOMPARE(w_->Doc().path, bad_);
    QVERIFY(w_->Save());
    QCOMPARE(ReadBytes(bad_), std::string("recovered"));
    QCOMPARE(DataFolderNames(), (std::set<std::string>{kBadName, kLatinName, "recovery"}));
  }

  // Plug-ins name files by their bytes (C strings): they reach the file.
  void aPluginOpensAndSavesByTheNamesBytes() {
    QVERIFY(Start({}));
    PluginWindowAdapter plugin(*w_);
    QVERIFY(plugin.OpenFile(latin_));
    QCOMPARE(plugin.FileName(), latin_);
    QTest::keyClick(Keys(), Qt::Key_X);
    const std::string saved = folder_ + "/saved\xfe.txt";
    QVERIFY(plugin.SaveFile(saved));
    QCOMPARE(ReadBytes(saved), std::string("xlatin"));
    QCOMPARE(w_->Doc().path, saved);
    QCOMPARE(DataFolderNames(), (std::set<std::string>{kBadName, kLatinName, "saved\xfe.txt"}));
  }

  // The copy that shows the file answers for its bytes, and only for them.
  void theCopyShowingTheFileAnswersForItsBytes() {
    QVERIFY(Start({bad_}));
    QLocalSocket s;
    s.connectToServer(w_->findChild<SingleCopy*>()->SocketPath());
    QVERIFY(s.waitForConnected(1000));
    const std::string title = "bad\\xFF\\xFE.txt - Прамбус";
    const std::string other = folder_ + "/bad\xff\xfd.txt";
    // What a copy that reads names only as text would ask for this name.
    const QString asText = QFile::decodeName(QByteArray::fromStdString(bad_));
    s.write(QByteArray::fromStdString(
        FormatHandOverRequest(FileNameHash(bad_), title, bad_) +
        FormatHandOverRequest(FileNameHash(other), title, other) +
        FormatHandOverRequest(FileNameHash(Bytes(asText)), "bad\uFFFD\uFFFD.txt - Прамбус") +
        FormatHandOverRequest(FileNameHash(bad_), title)));
    QByteArray answers;
    QTRY_VERIFY((answers += s.readAll()).count('\n') == 4);
    QCOMPARE(answers, QByteArray("1\n0\n0\n0\n"));
  }

  // The program started on the same name, relative to its folder, hands the
  // file over to the copy that shows it and ends.
  void theProgramHandsTheNameOverToTheCopyShowingIt() {
    QVERIFY(Start({bad_}));
    // A copy of the program in a folder of its own, where it keeps its
    // data.dat (past the first start's welcome).
    const QString program = dir_->filePath("app/prambus");
    QVERIFY(QDir().mkpath(dir_->filePath("app")) && QFile::copy(PRAMBUS_BINARY, program));
    QVERIFY(WriteDataFile(Bytes(dir_->filePath("app/data.dat")), StoredState{}, Settings{}));
    QProcess second;
    second.setWorkingDirectory(dir_->path());
    // The name's bytes reach the program only through the shell: the
    // toolkit passes arguments as text.
    second.start("/bin/sh", {"-c", "exec \"$0\" \"$(printf 'bad\\377\\376.txt')\"", program});
    QVERIFY(second.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(second.state() == QProcess::NotRunning, 30000);
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
  }
};

QTEST_MAIN(FileNamesTest)
#include "file_names_test.moc"
