// A document at the largest size the program works with, on the real main
// window (the view's limit brought down to a few bytes): a key, a paste or a
// replacement that would pass it changes nothing and the user is told why;
// edits that do not make the document longer still work.
#include <QApplication>
#include <QClipboard>
#include <QTemporaryDir>
#include <QtTest>
#include <optional>

#include "gui_files.h"
#include "io/memory_room.h"
#include "main_window.h"
#include "replace_dialog.h"
#include "settings/settings.h"
#include "shell/file_messages.h"
#include "shown_window.h"

using namespace prambus;

namespace {
const QString kTooLong = QString::fromUtf8(kDocumentTooLongMessage);

QByteArray Text(ViewBase* v) {
  QByteArray s;
  for (int r = 0; r <= v->LastRow(); ++r) {
    const std::string_view row = v->GetRow(r);
    s.append(row.data(), qsizetype(row.size()));
  }
  return s;
}
}  // namespace

class LengthLimitTest : public QObject {
  Q_OBJECT
  std::optional<QTemporaryDir> dir_;
  ScriptedPrompts* prompts_ = nullptr;

  // The window on a file whose length is the view's limit.
  std::unique_ptr<MainWindow> Full(const QByteArray& bytes) {
    WriteAll(dir_->filePath("f.txt"), bytes);
    auto w = ShowWindow(dir_->path(), dir_->filePath("f.txt"), &prompts_);
    if (w) w->View()->SetLengthLimit(bytes.size());
    return w;
  }
  void Key(MainWindow& w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(w.centralWidget(), Qt::Key(key), mods);
  }
  // Each refused edit says why, once, and leaves the document as it was.
  void ExpectRefused(MainWindow& w, const QByteArray& text, int notes) {
    QCOMPARE(Text(w.View()), text);
    QCOMPARE(prompts_->notes.size(), qsizetype(notes));
    for (const QString& n : prompts_->notes) QCOMPARE(n, kTooLong);
  }

 private slots:
  void init() {
    Cfg() = Settings{};
    dir_.emplace();
  }

  void theTextViewRefusesWhatWouldMakeItLonger() {
    const QByteArray full = "abc\r\ndef";
    auto w = Full(full);
    QVERIFY(w);
    Key(*w, Qt::Key_X);
    ExpectRefused(*w, full, 1);
    QVERIFY(!w->Modified());
    QVERIFY(!w->Actions().undo->isEnabled());
    Key(*w, Qt::Key_X);  // refused again, and said again
    Key(*w, Qt::Key_Return);
    ExpectRefused(*w, full, 3);
    QApplication::clipboard()->setText("zz");
    w->Actions().paste->trigger();
    ExpectRefused(*w, full, 4);
    // Over a selection: one character for one is no longer, two for one is.
    Key(*w, Qt::Key_Right, Qt::ShiftModifier);
    w->Actions().paste->trigger();
    ExpectRefused(*w, full, 5);
    QVERIFY(w->View()->HasSelection());  // the selection was not taken out
    Key(*w, Qt::Key_Return);             // a CR LF for one character
    ExpectRefused(*w, full, 6);
    QVERIFY(w->View()->HasSelection());
    Key(*w, Qt::Key_Y);
    QCOMPARE(Text(w->View()), QByteArray("ybc\r\ndef"));
    QVERIFY(w->Modified());
    // Room made by a deletion is room to type in.
    Key(*w, Qt::Key_Right);
    Key(*w, Qt::Key_Backspace);
    Key(*w, Qt::Key_Q);
    QCOMPARE(Text(w->View()), QByteArray("yqc\r\ndef"));
    QCOMPARE(prompts_->notes.size(), qsizetype(6));
    Key(*w, Qt::Key_R);
    ExpectRefused(*w, "yqc\r\ndef", 7);
    w->Actions().undo->trigger();
    w->Actions().redo->trigger();
    QCOMPARE(Text(w->View()), QByteArray("yqc\r\ndef"));
  }

  void theHexViewRefusesNewBytesButTakesOverwrites() {
    const QByteArray full("\x01\x02\x03", 3);
    WriteAll(dir_->filePath("f.bin"), full);
    auto w = ShowWindow(dir_->path(), {}, &prompts_);
    QVERIFY(w);
    w->Actions().viewKinds[1]->trigger();
    prompts_->openNames = {dir_->filePath("f.bin")};
    w->Actions().open->trigger();
    QCOMPARE(w->ViewKind(), 2);
    w->View()->SetLengthLimit(full.size());
    Key(*w, Qt::Key_4);  // a new byte before the first
    ExpectRefused(*w, full, 1);
    Key(*w, Qt::Key_End, Qt::ControlModifier);
    Key(*w, Qt::Key_A);  // a byte after the last
    ExpectRefused(*w, full, 2);
    Key(*w, Qt::Key_Tab);  // the character column
    Key(*w, Qt::Key_Home, Qt::ControlModifier);
    Key(*w, Qt::Key_Z);
    ExpectRefused(*w, full, 3);
    QVERIFY(!w->Modified());
    Key(*w, Qt::Key_Insert);  // overwriting keeps the length
    Key(*w, Qt::Key_Z);
    QCOMPARE(Text(w->View()), QByteArray("z\x02\x03", 3));
    QCOMPARE(prompts_->notes.size(), qsizetype(3));
  }

  // "Заменить всё" replaces while the document has room and stops, saying
  // why, at the first replacement it cannot take: no match is left deleted.
  void replacingStopsWhereTheDocumentIsFull() {
    auto w = Full("a-a-a-a");
    QVERIFY(w);
    w->View()->SetLengthLimit(9);
    w->ReplaceCommand();
    ReplaceDialog* r = w->GetReplaceDialog();
    r->findEdit->setText("a");
    r->replaceEdit->setText("bb");
    r->ReplaceAllClicked();
    QCOMPARE(Text(w->View()), QByteArray("bb-bb-a-a"));
    QCOMPARE(prompts_->notes, QStringList{kTooLong});
    r->replaceEdit->setText("c");  // no longer: replaced at once
    r->ReplaceAllClicked();
    QCOMPARE(Text(w->View()), QByteArray("bb-bb-c-c"));
  }

  // A large edit whose memory cannot be had (the system's answer stood in for
  // by a probe that refuses a mebibyte or more) changes nothing, says why,
  // and goes through once the memory is there.
  void largeEditsWithoutTheirMemoryAreRefusedWhole() {
    Cfg().MaxUndoLen = 16 << 20;  // a 2 MiB paste is kept for undo
    const QByteArray start = "abc\r\ndef";
    WriteAll(dir_->filePath("f.txt"), start);
    auto w = ShowWindow(dir_->path(), dir_->filePath("f.txt"), &prompts_);
    QVERIFY(w);
    const QString noMemory = QString::fromUtf8(kOutOfMemoryMessage);
    const QByteArray big(2 << 20, 'x');
    struct Probe {
      Probe() {
        SetMemoryRoomProbe([](size_t bytes) { return bytes < (size_t(1) << 20); });
      }
      ~Probe() { SetMemoryRoomProbe(nullptr); }
    };
    auto refused = [&](const QByteArray& text, int notes) {
      QCOMPARE(Text(w->View()), text);
      QCOMPARE(prompts_->notes.size(), qsizetype(notes));
      QCOMPARE(prompts_->notes.back(), noMemory);
    };
    QApplication::clipboard()->setText(QString::fromLatin1(big));
    Key(*w, Qt::Key_Right, Qt::ShiftModifier);
    {
      Probe probe;
      w->Actions().paste->trigger();
      refused(start, 1);
      QVERIFY(w->View()->HasSelection());  // the selection was not taken out
      QVERIFY(!w->Modified());
      QVERIFY(!w->Actions().undo->isEnabled());
      // Under a mebibyte as copied, over one once its line ends are CR LF:
      // asked for as it will be inserted, still before the selection goes.
      QApplication::clipboard()->setText(QString("x\n").repeated(360000));
      w->Actions().paste->trigger();
      refused(start, 2);
      QVERIFY(w->View()->HasSelection());
      QVERIFY(!w->Modified());
    }
    QApplication::clipboard()->setText(QString::fromLatin1(big));
    w->Actions().paste->trigger();
    const QByteArray pasted = big + start.mid(1);
    QCOMPARE(Text(w->View()), pasted);
    {
      Probe probe;
      w->Actions().undo->trigger();  // the 2 MiB would go back into the document
      refused(pasted, 3);
      w->ReplaceCommand();  // the region read once is 2 MiB
      ReplaceDialog* r = w->GetReplaceDialog();
      r->findEdit->setText("x");
      r->replaceEdit->setText("y");
      Key(*w, Qt::Key_Home, Qt::ControlModifier);
      r->ReplaceAllClicked();
      refused(pasted, 4);
      w->Actions().viewKinds[1]->trigger();  // the hex view would copy it all
      refused(pasted, 5);
      QCOMPARE(w->ViewKind(), 1);
      QVERIFY(w->Actions().viewKinds[0]->isChecked());
      QVERIFY(!w->Actions().viewKinds[1]->isChecked());
    }
    w->Actions().undo->trigger();
    QCOMPARE(Text(w->View()), start);
    w->Actions().viewKinds[1]->trigger();
    QCOMPARE(w->ViewKind(), 2);
  }
};

QTEST_MAIN(LengthLimitTest)
#include "length_limit_test.moc"
