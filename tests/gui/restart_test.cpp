// The real main window stopped and started again: what data.dat stores comes
// back applied (modes, encoding, status bar, check lists), whatever the file
// holds the window stays usable and on screen, and data.dat is read where it
// is written.
#include <sys/stat.h>

#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>
#include <optional>
#include <random>

#include "encodings/code_tables.h"
#include "gui_files.h"
#include "main_window.h"
#include "pinned_files_dialog.h"
#include "scripted_prompts.h"
#include "settings/data_file.h"
#include "settings/settings.h"
#include "shown_window.h"
#include "window_reading.h"

using namespace prambus;

class RestartTest : public QObject {
  Q_OBJECT
  std::optional<QTemporaryDir> dir_;
  QString Path(const QString& n) const { return dir_->filePath(n); }
  QString DataDir() const { return Path("cfg"); }

  std::unique_ptr<MainWindow> Start(const QString& file = {}, ScriptedPrompts** prompts = nullptr) {
    Cfg() = Settings{};
    return ShowWindow(DataDir(), file, prompts);
  }
  // Untitled, with the questions of the start answered by the script.
  std::unique_ptr<MainWindow> StartAnswering(std::deque<int> answers, ScriptedPrompts** prompts) {
    Cfg() = Settings{};
    auto w = std::make_unique<MainWindow>(QStringList{"prambus"}, DataDir());
    *prompts = &ScriptedPrompts::InstallOn(*w);
    (*prompts)->answers = std::move(answers);
    w->show();
    if (!QTest::qWaitForWindowExposed(w.get())) return nullptr;
    return w;
  }

 private slots:
  void init() {
    dir_.emplace();
    QDir().mkpath(DataDir());
  }

  void storedModesEncodingStatusBarAndChecksAreApplied() {
    WriteAll(Path("swap.enc"), SwapAbEncoding());
    QByteArray longLine(300, 'a');
    WriteAll(Path("doc.txt"), longLine);
    {
      ScriptedPrompts* prompts = nullptr;
      auto w = Start({}, &prompts);
      QVERIFY(w);
      QVERIFY(w->AddLoadedEncoding(Path("swap.enc"), "Обмен"));
      EncodingItem(*w, "Обмен")->trigger();
      w->Actions().statusBar->trigger();  // off
      w->ViewItems()[0]->trigger();       // "Перенос по словам" off
      prompts->answers = {1000};          // "Продолжить" in the warning
      w->Actions().minimalMode->trigger();
      w->Actions().stayOnTop->trigger();
      QCOMPARE(prompts->questions.size(), 1);
      w->Actions().exit->trigger();
    }
    auto w = Start(Path("doc.txt"));
    QVERIFY(w);
    // Minimal mode and stay-on-top are in effect, not only checked.
    QVERIFY(w->Actions().minimalMode->isChecked());
    QVERIFY(w->windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(!w->menuBar()->isVisible());
    QVERIFY(w->Actions().stayOnTop->isChecked());
    QVERIFY(w->windowFlags() & Qt::WindowStaysOnTopHint);
    // The loaded encoding is the one shown.
    QCOMPARE(CheckedEncodings(*w), QStringList{"Обмен"});
    QCOMPARE(DocumentText(w->View()), std::string(300, 'b'));
    // The status bar and the word wrap stay off.
    QVERIFY(!w->Actions().statusBar->isChecked());
    QVERIFY(!w->statusBar()->isVisible());
    QVERIFY(!w->ViewItems()[0]->isChecked());
    QCOMPARE(w->View()->LastRow(), 0);
    // The first F2 leaves minimal mode, the first F4 stay-on-top.
    QTest::keyClick(w->centralWidget(), Qt::Key_F2);
    QVERIFY(!w->Actions().minimalMode->isChecked());
    QVERIFY(!(w->windowFlags() & Qt::FramelessWindowHint));
    QTRY_VERIFY(w->menuBar()->isVisible());
    QVERIFY(!w->statusBar()->isVisible());  // still unchecked
    QTest::keyClick(w->centralWidget(), Qt::Key_F4);
    QVERIFY(!w->Actions().stayOnTop->isChecked());
    QVERIFY(!(w->windowFlags() & Qt::WindowStaysOnTopHint));
  }

  // The chosen encoding survives restarts, also when the command-line file
  // is missing, and every exit stores it again.
  void storedEncodingSurvivesAMissingCommandLineFile() {
    {
      auto w = Start();
      QVERIFY(w);
      EncodingItem(*w, "DOS")->trigger();
      w->Actions().exit->trigger();
    }
    for (int round = 0; round < 2; ++round) {
      auto w = Start(Path("missing.txt"));
      QVERIFY(w);
      QCOMPARE(w->windowTitle(), QString("Безымянный.txt - Прамбус"));
      QCOMPARE(CheckedEncodings(*w), QStringList{"DOS"});
      QVERIFY(w->StatusPanelText(5).endsWith("DOS"));
      QVERIFY(w->View()->CharTable() == DosTable());
      w->Actions().exit->trigger();
    }
  }

  // A loaded encoding whose file has gone is dropped at start-up; the stored
  // position of the one after it still names that one.
  void storedPositionsFollowDroppedEncodings() {
    WriteAll(Path("gone.enc"), SwapAbEncoding());
    WriteAll(Path("swap.enc"), SwapAbEncoding());
    WriteAll(Path("doc.txt"), "abc");
    {
      auto w = Start();
      QVERIFY(w);
      QVERIFY(w->AddLoadedEncoding(Path("gone.enc"), "Пропавшая"));
      QVERIFY(w->AddLoadedEncoding(Path("swap.enc"), "Обмен"));
      EncodingItem(*w, "Обмен")->trigger();
      w->Actions().exit->trigger();
    }
    QFile::remove(Path("gone.enc"));
    auto w = Start(Path("doc.txt"));
    QVERIFY(w);
    QCOMPARE(w->EncodingActions().size(), size_t(8));
    QCOMPARE(w->EncodingActions().back()->text(), QString("Обмен"));
    QCOMPARE(CheckedEncodings(*w), QStringList{"Обмен"});
    QCOMPARE(DocumentText(w->View()), std::string("bac"));
  }

  // A check list stored for the hex view never reaches a text document.
  void checkListsStayWithTheirViewKind() {
    WriteAll(Path("a.hex"), "abc");
    WriteAll(Path("b.txt"), QByteArray(300, 'x'));
    ScriptedPrompts* prompts = nullptr;
    auto w = Start({}, &prompts);
    QVERIFY(w);
    w->State().bindings = {{".hex", 1}, {".txt", 0}};
    prompts->openNames = {Path("a.hex")};
    w->Actions().open->trigger();
    QCOMPARE(w->ViewKind(), 2);
    QCOMPARE(w->ViewItems()[0]->text(), QString("Расшифровка данных"));
    w->ViewItems()[0]->trigger();  // off
    prompts->openNames = {Path("b.txt")};
    w->Actions().open->trigger();
    QCOMPARE(w->ViewKind(), 1);
    QVERIFY(w->ViewItems()[0]->isChecked());  // word wrap stays on
    QVERIFY(w->View()->LastRow() > 0);
    // Back in the hex view, its own list applies.
    prompts->openNames = {Path("a.hex")};
    w->Actions().open->trigger();
    QCOMPARE(w->ViewKind(), 2);
    QVERIFY(!w->ViewItems()[0]->isChecked());
  }

  // Across a restart too: the window last closed in the hex view with
  // "Расшифровка данных" off starts with that list, and a text file opened
  // from the command line gets the text view's own list.
  void checkListsPerViewKindSurviveARestart() {
    WriteAll(Path("doc.txt"), QByteArray(300, 'x'));
    {
      auto w = Start(Path("doc.txt"));
      QVERIFY(w);
      QCOMPARE(w->ViewKind(), 1);
      w->Actions().newDocument->trigger();  // doc.txt goes to the recent list as text
      QTest::keyClick(w->centralWidget(), Qt::Key_F6);
      QCOMPARE(w->ViewKind(), 2);
      QCOMPARE(w->ViewItems()[0]->text(), QString("Расшифровка данных"));
      w->ViewItems()[0]->trigger();  // off
      w->Actions().exit->trigger();
    }
    {
      auto w = Start(Path("doc.txt"));
      QVERIFY(w);
      QCOMPARE(w->ViewKind(), 1);
      QVERIFY(w->ViewItems()[0]->isChecked());  // word wrap
      QVERIFY(w->View()->LastRow() > 0);
      QTest::keyClick(w->centralWidget(), Qt::Key_F6);
      QVERIFY(!w->ViewItems()[0]->isChecked());
      w->Actions().exit->trigger();
    }
    auto w = Start();
    QVERIFY(w);
    QCOMPARE(w->ViewKind(), 2);
    QVERIFY(!w->ViewItems()[0]->isChecked());
  }

  // A file pinned in the other view kind, left open at exit, takes its state
  // into its own record: the default kind's check list comes back untouched.
  void aPinnedFileOfTheOtherKindLeavesTheDefaultChecks() {
    WriteAll(Path("doc.txt"), QByteArray(300, 'x'));
    WriteAll(Path("p.bin"), QByteArray(64, '\1'));
    {
      ScriptedPrompts* prompts = nullptr;
      auto w = Start(Path("doc.txt"), &prompts);
      QVERIFY(w);
      QCOMPARE(w->ViewItems()[0]->text(), QString("Перенос по словам"));
      w->ViewItems()[0]->trigger();  // word wrap off
      QVERIFY(!w->ViewItems()[0]->isChecked());
      prompts->openNames = {Path("p.bin")};
      w->Actions().open->trigger();
      QTest::keyClick(w->centralWidget(), Qt::Key_F6);  // the hex view
      QCOMPARE(w->ViewItems()[0]->text(), QString("Расшифровка данных"));
      if (!w->ViewItems()[0]->isChecked()) w->ViewItems()[0]->trigger();
      prompts->pinnedFiles = [](PinnedFilesDialog& d) {
        d.AddCurrent();
        return int(QDialog::Accepted);
      };
      w->Actions().pinnedFiles->trigger();
      prompts->openNames = {Path("doc.txt")};
      w->Actions().open->trigger();
      QCOMPARE(w->ViewKind(), 1);
      QVERIFY(!w->ViewItems()[0]->isChecked());
      prompts->openNames = {Path("p.bin")};
      w->Actions().open->trigger();
      QCOMPARE(w->ViewKind(), 2);
      w->Actions().exit->trigger();
    }
    auto w = Start();
    QVERIFY(w);
    QCOMPARE(w->ViewKind(), 1);
    QVERIFY(!w->ViewItems()[0]->isChecked());  // word wrap still off
  }

  // data.dat that exists but cannot be read: defaults, and the file is left
  // as it was at exit.
  void unreadableDataFileIsLeftAlone() {
    const QString data = DataDir() + "/data.dat";
    WriteAll(data, "stored settings");
    // Root reads every file: a folder in its place cannot be read either.
    const bool asRoot = geteuid() == 0;
    if (asRoot)
      QVERIFY(QFile::remove(data) && QDir().mkdir(data));
    else
      QVERIFY(QFile::setPermissions(data, QFileDevice::WriteOwner));
    {
      ScriptedPrompts* prompts = nullptr;
      auto w = Start({}, &prompts);
      QVERIFY(w);
      QCOMPARE(Cfg().MaxUndoLen, Settings{}.MaxUndoLen);
      QTRY_COMPARE(prompts->notes.size(), 1);  // said once the window is up
      QVERIFY(prompts->notes[0].contains(data));
      w->Actions().exit->trigger();
      QCOMPARE(prompts->notes.size(), 1);
    }
    if (asRoot) {
      QVERIFY(QFileInfo(data).isDir());
      return;
    }
    QFile::setPermissions(data, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QCOMPARE(ReadAll(data), QByteArray("stored settings"));
  }

  // data.dat damaged partway: the user is asked whether to start afresh;
  // kept, what could be read is applied (not the window's look), and the
  // file keeps what could not be read.
  void aDamagedDataFileIsReadAsFarAsItGoesAndKept() {
    StoredState st;
    Settings s;
    s.MaxUndoLen = 4321;
    st.recent = {{"/x/one.txt", 0, 0, 1, {}}, {}, {}, {}, {}};
    const QString data = DataDir() + "/data.dat";
    QVERIFY(WriteDataFile(data.toStdString(), st, s));
    QByteArray bytes = ReadAll(data);
    bytes.truncate(bytes.indexOf("/x/one.txt") + 3);  // cut inside the recent list
    WriteAll(data, bytes);
    {
      ScriptedPrompts* prompts = nullptr;
      auto w = Start({}, &prompts);
      QVERIFY(w);
      QCOMPARE(Cfg().MaxUndoLen, 4321);
      QCOMPARE(prompts->questions.size(), 1);  // closed unanswered: kept as it is
      QVERIFY(prompts->questions[0].startsWith("Прамбус: Файл настроек «" + data +
                                               "» повреждён, и прочитать его до конца я не смог. "
                                               "Начать с настроек по умолчанию?"));
      QVERIFY(prompts->notes.isEmpty());
      w->Actions().exit->trigger();
    }
    QCOMPARE(ReadAll(data), bytes);
  }

  // Random bytes for data.dat: whatever they say, the window comes up with
  // its frame, menu and status bar, on the screen; the user may start afresh,
  // and the damaged file is set aside, never deleted.
  void aBadlyDamagedDataFileGivesAUsableWindowAndAWayOut() {
    const QString data = DataDir() + "/data.dat";
    std::mt19937 random(5000);
    QByteArray bytes(5000, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    WriteAll(data, bytes);
    {
      StoredState st;
      Settings s;
      bool damaged = false;
      ReadDataFile(data.toStdString(), st, s, &damaged);
      QVERIFY(damaged);
    }
    {
      ScriptedPrompts* prompts = nullptr;
      auto w = StartAnswering({1001}, &prompts);  // "Оставить как есть"
      QVERIFY(w);
      QCOMPARE(prompts->questions.size(), 1);
      QVERIFY(!w->Actions().minimalMode->isChecked());
      QVERIFY(!w->windowFlags().testFlag(Qt::FramelessWindowHint));
      QVERIFY(w->menuBar()->isVisible());
      QVERIFY(w->statusBar()->isVisible());
      QVERIFY(!w->isMinimized());
      QVERIFY(w->screen()->availableGeometry().contains(w->geometry()));
      QCOMPARE(w->size(), QSize(786, 483));
      w->Actions().exit->trigger();
    }
    QCOMPARE(ReadAll(data), bytes);
    {
      ScriptedPrompts* prompts = nullptr;
      auto w = StartAnswering({1000}, &prompts);  // "Начать заново"
      QVERIFY(w);
      const QStringList aside = QDir(DataDir()).entryList({"data.dat.damaged-*"});
      QCOMPARE(aside.size(), 1);
      QCOMPARE(ReadAll(DataDir() + "/" + aside[0]), bytes);
      QVERIFY(prompts->notes.isEmpty());
      w->Actions().exit->trigger();
    }
    // This run's settings made a new file: the next start asks nothing.
    ScriptedPrompts* prompts = nullptr;
    auto w = StartAnswering({}, &prompts);
    QVERIFY(w);
    QVERIFY(prompts->questions.isEmpty());
    QVERIFY(prompts->notes.isEmpty());
    QCOMPARE(QDir(DataDir()).entryList({"data.dat.damaged-*"}).size(), 1);
  }

  // A write that fails says so in a plain message.
  void failedWriteIsReported() {
    ScriptedPrompts* prompts = nullptr;
    auto w = Start({}, &prompts);
    QVERIFY(w);
    QVERIFY(QDir(DataDir()).removeRecursively());
    WriteAll(DataDir(), "a file where the folder was");
    w->Actions().exit->trigger();
    QCOMPARE(prompts->notes.size(), 1);
    QVERIFY(prompts->notes[0].contains("data.dat"));
  }

  // Values the loader accepts never make a window larger than the screen,
  // nor put it off every screen.
  void extremeStoredValuesGiveAUsableWindowOnScreen() {
    StoredState st;
    Settings s;
    st.defaults.left = 2147483647;
    st.defaults.top = -2147483647;
    st.defaults.width = 2147483647;
    st.defaults.height = 2147483647;
    st.surfaceFont.height = -2147483647;
    s.MinRestoredWidth = 2147483647;
    s.MinRestoredHeight = 2147483647;
    // The keyed settings at the far ends of the table's ranges.
    s.OtstupX = 2147483646;
    s.OtstupY = -100;
    s.Distance = 10;
    s.HDistance = 100;
    s.LineWidth = s.MarginWidth = 100;
    s.HScrollStep = s.VScrollStep = 2147483646;
    s.MaxTextWidth = 2147483646;
    s.HexColumns = 999;
    s.DataWindowLeft = -2147483647;
    QVERIFY(WriteDataFile((DataDir() + "/data.dat").toStdString(), st, s));
    WriteAll(Path("d.bin"), QByteArray(5000, 'x'));
    auto w = Start(Path("d.bin"));
    QVERIFY(w);
    const QRect screen = w->screen()->availableGeometry();
    QVERIFY(w->width() <= screen.width() && w->height() <= screen.height());
    QVERIFY(w->frameGeometry().intersects(screen));
    QVERIFY(w->View()->LineHeight() < 1000);
    // The text view moves, scrolls and edits with them, wrapped or not.
    QWidget* surface = w->centralWidget();
    for (int wrap = 0; wrap < 2; ++wrap) {
      for (Qt::Key k : {Qt::Key_End, Qt::Key_PageDown, Qt::Key_Right, Qt::Key_Home, Qt::Key_A})
        QTest::keyClick(surface, k);
      w->ViewItems()[0]->trigger();  // "Перенос по словам" off, then on
    }
    QCOMPARE(DocumentText(w->View()).size(), size_t(5002));
    QTest::keyClick(w->centralWidget(), Qt::Key_F6);  // the hex view lays out too
    QCOMPARE(w->ViewKind(), 2);
    QTest::keyClick(w->centralWidget(), Qt::Key_End, Qt::ControlModifier);
    QVERIFY(w->View()->GetDocumentHeight() > 0);
  }
};

QTEST_MAIN(RestartTest)
#include "restart_test.moc"
