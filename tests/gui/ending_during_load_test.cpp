// Ending the program while a file loads, on the real main window: the load is
// dropped, the question is about the document given back and is asked once,
// each answer does what it says, and data.dat remembers the document the
// window held, never the file whose load was dropped.
#include <QTemporaryDir>
#include <QtTest>
#include <optional>

#include "gui_files.h"
#include "main_window.h"
#include "settings/data_file.h"
#include "settings/settings.h"
#include "shown_window.h"

using namespace prambus;

namespace {
constexpr int kLines = 600000;

// The ways a user ends the program.
enum Ending { kCloseBox, kExitCommand, kEscape, kCloseWhileWaiting };

constexpr int kYes = 1000, kNo = 1001, kCancel = 1002;
const QByteArray kSmall = "small\nfile\n";
const QByteArray kEdited = "small\nedit file\n";
}  // namespace

class EndingDuringLoadTest : public QObject {
  Q_OBJECT
  std::optional<QTemporaryDir> dir_;
  QByteArray big_;
  QString Path(const QString& name) const { return dir_->filePath(name); }
  QByteArray dataAtStart_;  // data.dat as the start wrote it
  // Written at the end: the exit adds the files to the recent list.
  bool DataWritten() const { return ReadAll(Path("data.dat")) != dataAtStart_; }

  // The window on small.txt, optionally with an unsaved edit, then big.txt
  // loading in its place through "Открыть..." ("Нет" to saving the edit).
  std::unique_ptr<MainWindow> SmallThenLoading(ScriptedPrompts** prompts, bool edit) {
    auto w = ShowWindow(dir_->path(), Path("small.txt"), prompts);
    if (!w) return nullptr;
    dataAtStart_ = ReadAll(Path("data.dat"));
    QTest::keyClick(w->centralWidget(), Qt::Key_Down);
    if (edit) QTest::keyClicks(w->centralWidget(), "edit ");
    QTest::keyClick(w->centralWidget(), Qt::Key_Right);
    if (edit) (*prompts)->answers = {kNo};
    (*prompts)->openNames = {Path("big.txt")};
    w->Actions().open->trigger();
    (*prompts)->questions.clear();
    return w;
  }

  // Ends the program the given way during the load. Escape first stops the
  // load, as it always does; only a second one ends the program. True when
  // the window agreed to end (a close box refused leaves it open).
  static bool End(MainWindow& w, Ending how, ScriptedPrompts* prompts) {
    switch (how) {
      case kCloseBox:
        return w.close();
      case kExitCommand:
        w.Actions().exit->trigger();
        return true;
      case kEscape:
        QTest::keyClick(w.centralWidget(), Qt::Key_Escape);
        if (w.Loading() || !prompts->questions.isEmpty()) return false;
        QTest::keyClick(w.centralWidget(), Qt::Key_Escape);
        return true;
      case kCloseWhileWaiting:
        // Typing waits for the whole document; the close comes during the wait.
        QTimer::singleShot(0, &w, [&w] { w.close(); });
        QTest::keyClick(w.centralWidget(), Qt::Key_Q);
        QCoreApplication::processEvents();
        return true;
    }
    return false;
  }

  static StoredState Stored(const QString& path) {
    StoredState st;
    Settings settings;
    if (!ReadDataFile(path.toStdString(), st, settings)) qWarning("data.dat unreadable");
    return st;
  }

  // A recent list of the stored length with the given entries first.
  static std::vector<RecentEntry> RecentList(std::vector<RecentEntry> entries) {
    entries.resize(size_t(Settings{}.MaxRecentListLen));
    return entries;
  }

 private slots:
  void initTestCase() {
    for (int i = 0; i < kLines; ++i)
      big_ += "строка " + QByteArray::number(i).rightJustified(7, '0') + " слова и пробелы\r\n";
  }
  void init() {
    Cfg() = Settings{};
    dir_.emplace();
    WriteAll(Path("big.txt"), big_);
    WriteAll(Path("small.txt"), kSmall);
  }

  void eachAnswerIsAskedOnceAndDoesWhatItSays_data() {
    QTest::addColumn<int>("how");
    QTest::addColumn<int>("answer");
    const std::pair<const char*, Ending> endings[] = {{"close box", kCloseBox},
                                                      {"Выход", kExitCommand},
                                                      {"Esc", kEscape},
                                                      {"close in a wait", kCloseWhileWaiting}};
    const std::pair<const char*, int> answers[] = {{"Да", kYes}, {"Нет", kNo}, {"Отмена", kCancel}};
    for (const auto& [ending, how] : endings)
      for (const auto& [name, answer] : answers)
        QTest::addRow("%s, %s", ending, name) << int(how) << answer;
  }
  void eachAnswerIsAskedOnceAndDoesWhatItSays() {
    QFETCH(int, how);
    QFETCH(int, answer);
    ScriptedPrompts* prompts = nullptr;
    auto w = SmallThenLoading(&prompts, true);
    QVERIFY(w);
    QVERIFY(w->Loading());
    Cfg().ExitOnEsc = true;
    prompts->answers = {answer};
    const bool ended = End(*w, Ending(how), prompts);
    QVERIFY(!w->Loading());
    QCOMPARE(prompts->questions.size(), qsizetype(1));
    QVERIFY(prompts->questions[0].startsWith("Что делать с документом?"));
    QCOMPARE(prompts->unexpectedQuestions, 0);
    QCOMPARE(ReadAll(Path("big.txt")), big_);
    QCOMPARE(prompts->notes, QStringList{});
    if (answer == kCancel) {
      // The program goes on with the edited document as it was.
      if (how == kCloseBox) QVERIFY(!ended);
      QVERIFY(w->isVisible());
      QVERIFY(!DataWritten());
      QCOMPARE(ReadAll(Path("small.txt")), kSmall);
      QCOMPARE(w->FileName(), Path("small.txt"));
      QCOMPARE(w->windowTitle(), QString("* small.txt - Прамбус"));
      const std::string_view row = w->View()->GetRow(1);
      QCOMPARE(QByteArray(row.data(), row.size()), QByteArray("edit file\n"));
      return;
    }
    QVERIFY(ended);
    QVERIFY(DataWritten());
    QCOMPARE(ReadAll(Path("small.txt")), answer == kYes ? kEdited : kSmall);
    if (how == kCloseBox || how == kCloseWhileWaiting) QVERIFY(!w->isVisible());
  }

  // A second close or "Выход" while the question is up asks nothing more: the
  // one answer given decides.
  void aSecondEndingWhileTheQuestionIsUpAsksNothing() {
    ScriptedPrompts* prompts = nullptr;
    auto w = SmallThenLoading(&prompts, true);
    QVERIFY(w);
    prompts->whileAsking = [&w] {
      w->close();
      w->Actions().exit->trigger();
    };
    prompts->answers = {kNo, kNo, kNo};
    QVERIFY(w->close());
    QCOMPARE(prompts->questions.size(), qsizetype(1));
    QVERIFY(DataWritten());
    QCOMPARE(ReadAll(Path("small.txt")), kSmall);
  }

  // Nothing unsaved was given back: the program ends at once, whichever way.
  void anUneditedDocumentGivenBackEndsWithoutAQuestion_data() {
    QTest::addColumn<int>("how");
    QTest::newRow("close box") << int(kCloseBox);
    QTest::newRow("Выход") << int(kExitCommand);
    QTest::newRow("Esc") << int(kEscape);
    QTest::newRow("close in a wait") << int(kCloseWhileWaiting);
  }
  void anUneditedDocumentGivenBackEndsWithoutAQuestion() {
    QFETCH(int, how);
    ScriptedPrompts* prompts = nullptr;
    auto w = SmallThenLoading(&prompts, false);
    QVERIFY(w);
    QVERIFY(w->Loading());
    Cfg().ExitOnEsc = true;
    QVERIFY(End(*w, Ending(how), prompts));
    QVERIFY(!w->Loading());
    QCOMPARE(prompts->questions, QStringList{});
    QVERIFY(DataWritten());
    QCOMPARE(ReadAll(Path("small.txt")), kSmall);
  }

  // The recent list gets the document the window held, with its own cursor;
  // the file whose load was dropped keeps the entry it had (its cursor is
  // not known), or gets none.
  void theRecentListRemembersTheDocumentTheWindowHeld() {
    {
      StoredState st;
      st.recent = RecentList({{Path("big.txt").toStdString(), 3, 400000, 1, {}}});
      QVERIFY(WriteDataFile(Path("data.dat").toStdString(), st, Settings{}));
    }
    ScriptedPrompts* prompts = nullptr;
    auto w = SmallThenLoading(&prompts, false);
    QVERIFY(w);
    QVERIFY(w->Loading());
    QVERIFY(w->close());
    const StoredState after = Stored(Path("data.dat"));
    QCOMPARE(after.recent, RecentList({{Path("small.txt").toStdString(), 1, 1, 1, {}},
                                       {Path("big.txt").toStdString(), 3, 400000, 1, {}}}));
    w.reset();

    // Started on the big file itself: the program ends on an untitled
    // document, and the entry stays as it was.
    prompts = nullptr;
    w = ShowWindow(dir_->path(), Path("big.txt"), &prompts);
    QVERIFY(w);
    QVERIFY(w->Loading());
    w->Actions().exit->trigger();
    QCOMPARE(Stored(Path("data.dat")).recent, after.recent);
    QCOMPARE(prompts->questions, QStringList{});
    w.reset();

    // A file that was not in the list does not enter it.
    QVERIFY(QFile::remove(Path("data.dat")));
    prompts = nullptr;
    w = ShowWindow(dir_->path(), Path("big.txt"), &prompts);
    QVERIFY(w);
    QVERIFY(w->Loading());
    QVERIFY(w->close());
    QCOMPARE(Stored(Path("data.dat")).recent, RecentList({}));
  }
};

QTEST_MAIN(EndingDuringLoadTest)
#include "ending_during_load_test.moc"
