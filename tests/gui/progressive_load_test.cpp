// A file larger than one load step opens on the real main window with its
// first screen shown before the rest has loaded; the finished document is
// the file, keys during the load act where they belong, Escape gives back the
// document shown before, and a file cut short while it loads leaves nothing
// that Save could write over it.
#include <unistd.h>

#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>
#include <optional>

#include "data_window.h"
#include "gui_files.h"
#include "main_window.h"
#include "settings/settings.h"
#include "shell/file_messages.h"
#include "shell/status_text.h"
#include "shown_window.h"
#include "views/hex_view.h"

using namespace prambus;

namespace {
constexpr int kLines = 600000;
constexpr int kWait = 120000;  // a slow sanitizer build loads for long

QByteArray Line(int i) {
  return QByteArray("строка ") + QByteArray::number(i).rightJustified(7, '0') +
         " слова и пробелы\r\n";
}

}  // namespace

class ProgressiveLoadTest : public QObject {
  Q_OBJECT
  std::optional<QTemporaryDir> dir_;
  QByteArray big_;
  QString Path(const QString& name) const { return dir_->filePath(name); }

  // An untitled window that opens the big file with "Открыть...".
  std::unique_ptr<MainWindow> OpenBig(ScriptedPrompts** prompts, const QString& first = {}) {
    auto w = ShowWindow(dir_->path(), first, prompts);
    if (!w) return nullptr;
    OpenWithCommand(*w, *prompts);
    return w;
  }
  // The big file through "Открыть...", after "Нет" to saving an edited document.
  void OpenWithCommand(MainWindow& w, ScriptedPrompts* prompts) {
    if (w.Modified()) prompts->answers = {1001};
    prompts->openNames = {Path("big.txt")};
    w.Actions().open->trigger();
  }
  // A small file with an unsaved edit, then the big one loading in its place
  // ("Нет" to saving the edit first).
  std::unique_ptr<MainWindow> EditedThenLoading(ScriptedPrompts** prompts) {
    WriteAll(Path("small.txt"), "small\nfile\n");
    auto w = ShowWindow(dir_->path(), Path("small.txt"), prompts);
    if (!w) return nullptr;
    QTest::keyClick(w->centralWidget(), Qt::Key_Down);
    QTest::keyClicks(w->centralWidget(), "edit ");
    OpenWithCommand(*w, *prompts);
    return w;
  }
  // Escape as the user presses it while a command waits for the load.
  static void PressEscapeSoon(MainWindow& w) {
    QCoreApplication::postEvent(w.centralWidget(),
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
  }
  static QString LineCountPanel(MainWindow& w) {
    for (QLabel* l : w.statusBar()->findChildren<QLabel*>())
      if (l->text().contains("строк")) return l->text();
    return {};
  }
  QByteArray SavedCopy(MainWindow& w, ScriptedPrompts* prompts, const QString& name) {
    prompts->saveNames = {Path(name)};
    w.Actions().saveAs->trigger();
    return ReadAll(Path(name));
  }

 private slots:
  void initTestCase() {
    for (int i = 0; i < kLines; ++i) big_ += Line(i);
    QVERIFY(big_.size() > qsizetype(16 * MainWindow::kLoadSliceBytes));
  }
  void init() {
    Cfg() = Settings{};
    dir_.emplace();
    WriteAll(Path("big.txt"), big_);
  }

  void theFirstScreenShowsBeforeTheRestAndTheWholeFileArrives() {
    ScriptedPrompts* prompts = nullptr;
    auto w = OpenBig(&prompts);
    QVERIFY(w);
    QVERIFY(w->Loading());
    ViewBase& v = *w->View();
    QVERIFY(v.LastRow() > v.ViewHeight() / v.LineHeight());
    QVERIFY(v.GetTextLength() < big_.size());
    QCOMPARE(QByteArray(v.GetRow(0).data(), v.GetRow(0).size()), Line(0));
    QCOMPARE(w->windowTitle(), QString("big.txt - Прамбус"));
    QVERIFY(w->LoadProgressText().startsWith("Загрузка… "));
    QVERIFY(w->LoadProgressText().endsWith("%  (Esc — отменить)"));
    // The scroll bar follows the loaded part as it grows.
    const int rangeAtFirst = w->VBar()->maximum();
    QTRY_VERIFY_WITH_TIMEOUT(!w->Loading(), kWait);
    QVERIFY(w->VBar()->maximum() > rangeAtFirst);
    QVERIFY(w->LoadProgressText().isEmpty());
    QCOMPARE(w->View()->GetTextLength(), big_.size());
    QVERIFY(!w->Modified());
    QCOMPARE(SavedCopy(*w, prompts, "copy.txt"), big_);
  }

  void keysDuringTheLoadActWhereTheyBelong() {
    ScriptedPrompts* prompts = nullptr;
    auto w = OpenBig(&prompts);
    QVERIFY(w);
    QVERIFY(w->Loading());
    // Moves within the loaded part do not wait for the rest.
    for (int i = 0; i < 3; ++i) QTest::keyClick(w->centralWidget(), Qt::Key_Down);
    QTest::keyClick(w->centralWidget(), Qt::Key_End);
    // Ctrl or Shift held down on its own does nothing yet.
    QTest::keyPress(w->centralWidget(), Qt::Key_Control);
    QTest::keyRelease(w->centralWidget(), Qt::Key_Control);
    QVERIFY(w->Loading());
    QCOMPARE(w->View()->CursorRow(), 3);
    // Typing needs the whole document: it lands where the caret stood.
    QTest::keyClicks(w->centralWidget(), "XYZ");
    QVERIFY(!w->Loading());
    QVERIFY(w->Modified());
    QByteArray expected = big_;
    const qsizetype lineEnd = 3 * Line(0).size() + Line(3).size() - 2;
    expected.insert(lineEnd, "XYZ");
    QCOMPARE(SavedCopy(*w, prompts, "typed.txt"), expected);
  }

  void ctrlEndDuringTheLoadReachesTheTrueEnd() {
    ScriptedPrompts* prompts = nullptr;
    auto w = OpenBig(&prompts);
    QVERIFY(w);
    QVERIFY(w->Loading());
    QTest::keyClick(w->centralWidget(), Qt::Key_End, Qt::ControlModifier);
    QVERIFY(!w->Loading());
    ViewBase& v = *w->View();
    QCOMPARE(v.CursorRow(), v.LastRow());
    QCOMPARE(v.PosToOffset(v.CursorColumn(), v.CursorRow()), big_.size());
    QCOMPARE(w->VBar()->value(), w->VBar()->maximum());
  }

  void aRememberedCursorIsSetOnceItsRowHasLoaded() {
    Cfg().RememberCurPos = true;
    ScriptedPrompts* prompts = nullptr;
    auto w = OpenBig(&prompts);
    QVERIFY(w);
    QTest::keyClick(w->centralWidget(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(w->centralWidget(), Qt::Key_Up);
    QTest::keyClick(w->centralWidget(), Qt::Key_Up);
    const int row = w->View()->CursorRow();
    QVERIFY(row > 1000);
    WriteAll(Path("small.txt"), "small");
    prompts->openNames = {Path("small.txt")};
    w->Actions().open->trigger();
    QCOMPARE(w->FileName(), Path("small.txt"));
    OpenWithCommand(*w, prompts);
    QVERIFY(w->Loading());
    QVERIFY(w->View()->LastRow() < row);
    // A move waits for the remembered row and starts from there.
    QTest::keyClick(w->centralWidget(), Qt::Key_Up);
    QCOMPARE(w->View()->CursorRow(), row - 1);
    QTRY_VERIFY_WITH_TIMEOUT(!w->Loading(), kWait);
    QCOMPARE(w->View()->CursorRow(), row - 1);
  }

  void escapeGivesBackThePreviousDocumentAsItWas() {
    WriteAll(Path("small.txt"), "small\nfile\n");
    ScriptedPrompts* prompts = nullptr;
    auto w = ShowWindow(dir_->path(), Path("small.txt"), &prompts);
    QVERIFY(w);
    QTest::keyClick(w->centralWidget(), Qt::Key_Down);
    QTest::keyClicks(w->centralWidget(), "edit ");
    const int col = w->View()->CursorColumn(), row = w->View()->CursorRow();
    w->EncodingActions()[1]->trigger();  // DOS
    QVERIFY(w->Modified());
    prompts->answers = {1001};  // "Нет": open the next file without saving this one
    OpenWithCommand(*w, prompts);
    QVERIFY(w->Loading());
    QCOMPARE(w->FileName(), Path("big.txt"));
    QTest::keyClick(w->centralWidget(), Qt::Key_Escape);
    QVERIFY(!w->Loading());
    QVERIFY(w->LoadProgressText().isEmpty());
    QCOMPARE(w->FileName(), Path("small.txt"));
    QCOMPARE(w->windowTitle(), QString("* small.txt - Прамбус"));
    QVERIFY(w->Modified());
    QVERIFY(w->EncodingActions()[1]->isChecked());
    QVERIFY(!w->EncodingActions()[0]->isChecked());
    QCOMPARE(w->View()->CursorColumn(), col);
    QCOMPARE(w->View()->CursorRow(), row);
    // The edit and its undo history are there.
    QVERIFY(w->Actions().undo->isEnabled());
    QCOMPARE(SavedCopy(*w, prompts, "small2.txt"), QByteArray("small\nedit file\n"));
    w->Actions().undo->trigger();
    QCOMPARE(SavedCopy(*w, prompts, "small3.txt"), QByteArray("small\nfile\n"));
    QCOMPARE(prompts->notes, QStringList{});
  }

  void aFileCutShortWhileItLoadsLeavesNothingToSaveOverIt() {
    ScriptedPrompts* prompts = nullptr;
    auto w = OpenBig(&prompts);
    QVERIFY(w);
    QVERIFY(w->Loading());
    const qint64 cut = big_.size() / 2;
    QVERIFY(::truncate(Path("big.txt").toLocal8Bit().constData(), cut) == 0);
    QTRY_VERIFY_WITH_TIMEOUT(!w->Loading(), kWait);
    QCOMPARE(prompts->notes, QStringList{kLoadFailedMessage});
    QVERIFY(w->FileName().isEmpty());
    QCOMPARE(w->windowTitle(), QString("Безымянный.txt - Прамбус"));
    QCOMPARE(w->View()->GetTextLength(), 0);
    QTest::keyClicks(w->centralWidget(), "x");
    QTest::keyClick(w->centralWidget(), Qt::Key_S, Qt::ControlModifier);  // asks for a name
    QVERIFY(w->Modified());
    QCOMPARE(QFileInfo(Path("big.txt")).size(), cut);
  }

  void aHexDocumentLoadsInStepsToo() {
    ScriptedPrompts* prompts = nullptr;
    auto w = ShowWindow(dir_->path(), {}, &prompts);
    QVERIFY(w);
    w->Actions().viewKinds[1]->trigger();
    QCOMPARE(w->ViewKind(), 2);
    OpenWithCommand(*w, prompts);
    QCOMPARE(w->ViewKind(), 2);
    QVERIFY(w->Loading());
    QTRY_VERIFY_WITH_TIMEOUT(!w->Loading(), kWait);
    QCOMPARE(SavedCopy(*w, prompts, "hex.bin"), big_);
  }

  // A large binary file in the hex view, its caret in the middle: well past
  // the first screen of the text view.
  std::unique_ptr<MainWindow> OpenBinaryInHex(ScriptedPrompts** prompts, QByteArray& bytes) {
    bytes.resize(20 << 20);
    quint32 seed = 5;
    for (char& c : bytes) {
      seed = seed * 1103515245u + 12345u;
      c = static_cast<char>(seed >> 23);
    }
    WriteAll(Path("big.bin"), bytes);
    auto w = ShowWindow(dir_->path(), {}, prompts);
    if (!w) return nullptr;
    w->Actions().viewKinds[1]->trigger();
    (*prompts)->openNames = {Path("big.bin")};
    w->Actions().open->trigger();
    while (w->Loading()) QTest::keyClick(w->centralWidget(), Qt::Key_End, Qt::ControlModifier);
    w->View()->SetPosition(5, w->View()->LastRow() / 2, true);
    w->View()->SetPosition(5, w->View()->LastRow() / 2, false);
    return w;
  }

  void aLargeHexDocumentGoesToTheTextViewInSteps() {
    ScriptedPrompts* prompts = nullptr;
    QByteArray bytes;
    auto w = OpenBinaryInHex(&prompts, bytes);
    QVERIFY(w);
    QCOMPARE(w->ViewKind(), 2);
    const int offset = w->View()->PosToOffset(w->View()->CursorColumn(), w->View()->CursorRow());
    QVERIFY(offset > bytes.size() / 3);
    QTest::keyClick(w->centralWidget(), Qt::Key_F6);
    QCOMPARE(w->ViewKind(), 1);
    QVERIFY(w->Actions().viewKinds[0]->isChecked());
    QVERIFY(w->Loading());
    ViewBase& v = *w->View();
    QVERIFY(v.LastRow() > v.ViewHeight() / v.LineHeight());
    QVERIFY(v.GetTextLength() < bytes.size());
    QCOMPARE(QByteArray(v.GetRow(0).data(), v.GetRow(0).size()), bytes.left(v.GetRow(0).size()));
    QCOMPARE(w->windowTitle(), QString("big.bin - Прамбус"));
    QTRY_VERIFY_WITH_TIMEOUT(!w->Loading(), kWait);
    QVERIFY(!w->Modified());
    // The caret stands where a switch in one go puts it.
    int col = offset, row = 0;
    w->View()->OffsetToPos(col, row);
    QCOMPARE(w->View()->CursorRow(), row);
    QCOMPARE(w->View()->CursorColumn(), col);
    QCOMPARE(SavedCopy(*w, prompts, "copy.bin"), bytes);
    QCOMPARE(prompts->notes, QStringList{});
  }

  void aMoveDuringTheSwitchStartsFromTheCaretCarriedOver() {
    ScriptedPrompts* prompts = nullptr;
    QByteArray bytes;
    auto w = OpenBinaryInHex(&prompts, bytes);
    QVERIFY(w);
    const int offset = w->View()->PosToOffset(w->View()->CursorColumn(), w->View()->CursorRow());
    QTest::keyClick(w->centralWidget(), Qt::Key_F6);
    QVERIFY(w->Loading());
    QTest::keyClick(w->centralWidget(), Qt::Key_Home);  // waits for the caret's row
    QVERIFY(w->Loading());
    int col = offset, row = 0;
    w->View()->OffsetToPos(col, row);
    QVERIFY(row > 1000);
    QCOMPARE(w->View()->CursorRow(), row);
    QCOMPARE(w->View()->CursorColumn(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(!w->Loading(), kWait);
    QCOMPARE(w->View()->CursorRow(), row);
    QCOMPARE(w->View()->CursorColumn(), 0);
  }

  void escapeDuringTheSwitchGivesBackTheHexView() {
    ScriptedPrompts* prompts = nullptr;
    QByteArray bytes;
    auto w = OpenBinaryInHex(&prompts, bytes);
    QVERIFY(w);
    const int col = w->View()->CursorColumn(), row = w->View()->CursorRow();
    QTest::keyClick(w->centralWidget(), Qt::Key_F6);
    QVERIFY(w->Loading());
    QTest::keyClick(w->centralWidget(), Qt::Key_Escape);
    QVERIFY(!w->Loading());
    QVERIFY(w->LoadProgressText().isEmpty());
    QCOMPARE(w->ViewKind(), 2);
    QVERIFY(w->Actions().viewKinds[1]->isChecked());
    QCOMPARE(w->View()->CursorColumn(), col);
    QCOMPARE(w->View()->CursorRow(), row);
    QCOMPARE(w->View()->GetTextLength(), bytes.size());
    QCOMPARE(w->FileName(), Path("big.bin"));
    QVERIFY(!w->Modified());
    QCOMPARE(SavedCopy(*w, prompts, "back.bin"), bytes);
    // And the switch can be made again, to its end.
    QTest::keyClick(w->centralWidget(), Qt::Key_F6);
    QTRY_VERIFY_WITH_TIMEOUT(!w->Loading(), kWait);
    QCOMPARE(w->ViewKind(), 1);
    QCOMPARE(SavedCopy(*w, prompts, "again.bin"), bytes);
  }

  // A command waiting for the load to end still hears Escape: the load stops
  // as it does on its own, and the command goes with it; what is typed after
  // the Escape reaches the document given back.
  void escapeWhileACommandWaitsDropsTheCommandWithTheLoad() {
    ScriptedPrompts* prompts = nullptr;
    auto w = EditedThenLoading(&prompts);
    QVERIFY(w);
    QVERIFY(w->Loading());
    PressEscapeSoon(*w);
    QCoreApplication::postEvent(w->centralWidget(),
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Z, Qt::NoModifier, "z"));
    QTest::keyClick(w->centralWidget(), Qt::Key_Q);  // typing waits for the whole document
    QVERIFY(!w->Loading());
    QCOMPARE(w->FileName(), Path("small.txt"));
    QCoreApplication::processEvents();
    const std::string_view row = w->View()->GetRow(1);
    QCOMPARE(QByteArray(row.data(), row.size()), QByteArray("edit zfile\n"));

    // Save, Ctrl+End and a search are dropped the same way.
    QTest::keyClick(w->centralWidget(), Qt::Key_Home);
    OpenWithCommand(*w, prompts);
    QVERIFY(w->Loading());
    PressEscapeSoon(*w);
    w->Actions().save->trigger();
    QVERIFY(!w->Loading());
    QCOMPARE(ReadAll(Path("small.txt")), QByteArray("small\nfile\n"));
    QCOMPARE(ReadAll(Path("big.txt")), big_);
    QVERIFY(w->Modified());
    OpenWithCommand(*w, prompts);
    PressEscapeSoon(*w);
    QTest::keyClick(w->centralWidget(), Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(w->FileName(), Path("small.txt"));
    QCOMPARE(w->View()->CursorRow(), 1);
    QCOMPARE(w->View()->CursorColumn(), 0);
    OpenWithCommand(*w, prompts);
    PressEscapeSoon(*w);
    w->FindWith("file", true, true, nullptr);
    QCOMPARE(w->View()->CursorColumn(), 0);
    QVERIFY(!w->View()->HasSelection());
    QCOMPARE(prompts->notes, QStringList{});
    // Without an Escape the command runs on the whole document.
    OpenWithCommand(*w, prompts);
    QVERIFY(w->Loading());
    QTest::keyClick(w->centralWidget(), Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(w->FileName(), Path("big.txt"));
    QCOMPARE(w->View()->PosToOffset(w->View()->CursorColumn(), w->View()->CursorRow()),
             big_.size());
  }

  // Closing the window drops a load at once: the question is about the
  // document given back when that has unsaved edits, and none when it has not.
  void closingDuringALoadAsksAboutTheDocumentGivenBack() {
    ScriptedPrompts* prompts = nullptr;
    auto w = EditedThenLoading(&prompts);
    QVERIFY(w);
    QVERIFY(w->Loading());
    prompts->questions.clear();
    prompts->answers = {1002};  // "Отмена"
    QVERIFY(!w->close());
    QVERIFY(!w->Loading());
    QCOMPARE(prompts->questions.size(), qsizetype(1));
    QCOMPARE(w->windowTitle(), QString("* small.txt - Прамбус"));
    // The same when the close comes while a command waits for the load.
    OpenWithCommand(*w, prompts);
    QVERIFY(w->Loading());
    QTimer::singleShot(0, w.get(), [&w] { w->close(); });
    prompts->questions.clear();
    prompts->answers = {1000};  // "Да": saved, then closed
    QTest::keyClick(w->centralWidget(), Qt::Key_Q);
    QVERIFY(!w->Loading());
    QTRY_VERIFY(!w->isVisible());
    QCOMPARE(prompts->questions.size(), qsizetype(1));
    QCOMPARE(ReadAll(Path("small.txt")), QByteArray("small\nedit file\n"));

    ScriptedPrompts* fresh = nullptr;
    auto plain = OpenBig(&fresh);
    QVERIFY(plain);
    QVERIFY(plain->Loading());
    QVERIFY(plain->close());
    QVERIFY(!plain->Loading());
    QCOMPARE(fresh->questions, QStringList{});
    QCOMPARE(ReadAll(Path("big.txt")), big_);
  }

  // Saving during the load writes the whole file, never the part loaded so
  // far; the status bar says the line count is not final until the end.
  void saveDuringTheLoadWritesTheWholeFile() {
    ScriptedPrompts* prompts = nullptr;
    auto w = OpenBig(&prompts);
    QVERIFY(w);
    QVERIFY(w->Loading());
    QVERIFY(w->statusBar()->isVisible());
    QVERIFY(LineCountPanel(*w).endsWith("…"));
    QCOMPARE(SavedCopy(*w, prompts, "copy.txt"), big_);
    QVERIFY(!w->Loading());
    QVERIFY(!LineCountPanel(*w).endsWith("…"));
    QCOMPARE(LineCountPanel(*w), QString::fromStdString(LineCountText(kLines + 1)));
  }

  // A byte number entered in the data window while the file loads counts in
  // the whole file: the entry waits for the load to end.
  void aByteNumberEnteredDuringTheLoadWaitsForTheWholeFile() {
    ScriptedPrompts* prompts = nullptr;
    auto w = ShowWindow(dir_->path(), {}, &prompts);
    QVERIFY(w);
    w->Actions().viewKinds[1]->trigger();
    OpenWithCommand(*w, prompts);
    QVERIFY(w->Loading());
    DataWindow* d = w->GetDataWindow();
    QVERIFY(d);
    const std::vector<int> tags = d->Tags();
    const auto at = std::find(tags.begin(), tags.end(), 0);  // "Номер байта"
    QVERIFY(at != tags.end());
    EntryField* field = d->DataEdits()[size_t(at - tags.begin())];
    const qint64 target = big_.size() - 3;
    QVERIFY(target > w->View()->GetTextLength());
    field->setText(QString::number(target));
    QTest::keyClick(field, Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(!w->Loading(), kWait);
    auto* hex = dynamic_cast<HexView*>(w->View());
    QVERIFY(hex);
    QCOMPARE(qint64(hex->CursorOffset()), target);
  }
};

QTEST_MAIN(ProgressiveLoadTest)
#include "progressive_load_test.moc"
