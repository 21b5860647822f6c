// The hex view's tool windows on the real main window: "Число столбцов" at
// the keyboard, and "Расшифровка данных" as one window, clear of the
// character column, away while the main window is minimized, and reading
// numbers with either decimal separator.
#include <QPushButton>
#include <QTemporaryDir>
#include <QWindow>
#include <QtTest>
#include <optional>

#include "columns_dialog.h"
#include "data_window.h"
#include "gui_files.h"
#include "help_window.h"
#include "main_window.h"
#include "scripted_prompts.h"
#include "settings/settings.h"
#include "shown_window.h"
#include "views/hex_view.h"

using namespace prambus;

// Writes down, in order, when a main window's native window is made and when
// a data window is shown.
class StackingLog : public QObject {
 public:
  int lastNativeWindow = 0, lastDataWindowShown = 0, count = 0;
  bool eventFilter(QObject* o, QEvent* e) override {
    if (e->type() == QEvent::WinIdChange && dynamic_cast<MainWindow*>(o))
      lastNativeWindow = ++count;
    if (e->type() == QEvent::Show && dynamic_cast<DataWindow*>(o)) lastDataWindowShown = ++count;
    return false;
  }
  bool DataWindowShownLast() const { return lastDataWindowShown > lastNativeWindow; }
};

class HexToolWindowsTest : public QObject {
  Q_OBJECT
  std::optional<QTemporaryDir> dir_;

  std::unique_ptr<MainWindow> OpenHex(const QByteArray& bytes) {
    WriteAll(dir_->filePath("h.bin"), bytes);
    auto w = ShowWindow(dir_->path(), dir_->filePath("h.bin"));
    if (w) w->Actions().viewKinds[1]->trigger();
    return w;
  }
  static QAction* ViewItem(MainWindow& w, const QString& caption) {
    for (QAction* a : w.ViewItems())
      if (a->text() == caption) return a;
    return nullptr;
  }
  static QByteArray Bytes(MainWindow& w) {
    auto* hex = dynamic_cast<HexView*>(w.View());
    return QByteArray::fromStdString(hex->Data().ToString());
  }

 private slots:
  void init() {
    Cfg() = Settings{};
    dir_.emplace();
  }
  void cleanup() { QLocale::setDefault(QLocale::c()); }

  // "+" and "-" step the number wherever the focus is and never end up in
  // the field; Enter applies the field's number, also on a button.
  void plusAndMinusStepTheColumnsEvenInTheField() {
    auto w = OpenHex(QByteArray(100, 'x'));
    QVERIFY(w);
    ViewItem(*w, "Число столбцов...")->trigger();
    ColumnsDialog* d = w->GetColumnsDialog();
    QVERIFY(d && d->isVisible());
    QCOMPARE(d->edit->text(), QString("16"));
    d->edit->setFocus();
    QTest::keyClicks(d->edit, "+");
    QCOMPARE(Cfg().HexColumns, 17);
    QCOMPARE(d->edit->text(), QString("17"));
    QTest::keyClicks(d->edit, "--");
    QCOMPARE(Cfg().HexColumns, 15);
    QTest::keyClick(d->edit, Qt::Key_Return);
    QCOMPARE(Cfg().HexColumns, 15);
    d->edit->selectAll();
    QTest::keyClicks(d->edit, "20");
    QTest::keyClick(d->edit, Qt::Key_Return);
    QCOMPARE(Cfg().HexColumns, 20);
    d->edit->setText("x");  // no number: the columns stay
    QTest::keyClick(d->edit, Qt::Key_Return);
    QCOMPARE(Cfg().HexColumns, 20);
    QCOMPARE(d->edit->text(), QString("20"));
    for (QPushButton* b : d->findChildren<QPushButton*>()) {
      b->setFocus();
      d->edit->setText("30");
      QTest::keyClick(b, Qt::Key_Return);
      QCOMPARE(Cfg().HexColumns, 30);
      d->edit->setText("40");
      QTest::keyClick(b, Qt::Key_Enter);
      QCOMPARE(Cfg().HexColumns, 40);
      Cfg().HexColumns = 30;
    }
    QTest::keyClick(d->edit, Qt::Key_Escape);
    QVERIFY(!d->isVisible());
  }

  // Closing and reopening leaves one window; it opens clear of the character
  // column and is away while the main window is minimized.
  void theDataWindowIsOneWindowClearOfTheColumn() {
    auto w = OpenHex(QByteArray(64, 'a'));
    QVERIFY(w);
    QAction* item = ViewItem(*w, "Расшифровка данных");
    QVERIFY(item->isChecked());
    QVERIFY(w->GetDataWindow());
    for (int i = 0; i < 3; ++i) {
      w->GetDataWindow()->close();  // its close box
      QVERIFY(!item->isChecked());
      item->trigger();
      QVERIFY(item->isChecked());
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(w->findChildren<DataWindow*>().size(), qsizetype(1));

    auto* hex = dynamic_cast<HexView*>(w->View());
    const Rect c = hex->CharacterColumn();
    const QRect column(w->centralWidget()->mapToGlobal(QPoint(c.left, c.top)),
                       QSize(c.right - c.left, c.bottom - c.top));
    Cfg().DataWindowLeft = column.left() + 4;  // its saved place is over the column
    Cfg().DataWindowTop = column.top() + 4;
    item->trigger();
    item->trigger();
    DataWindow* d = w->GetDataWindow();
    QVERIFY(d->isVisible());
    QVERIFY(!d->frameGeometry().intersects(column));

    w->showMinimized();
    d->setWindowState(Qt::WindowMinimized);  // a window manager takes it down with its owner
    QVERIFY(!d->isVisible());
    w->showNormal();
    QVERIFY(d->isVisible());
    // Shown still minimized, it would take the main window down again.
    QVERIFY(!(d->windowState() & Qt::WindowMinimized));
  }

  // A file opened while the hex view is the default shows its own bytes in
  // the data window at once, not the empty view's.
  // The data window stays on top of the main window, but never of the
  // program's dialogs: while one is up it is off the top, for the desktop
  // too, and back on top once the dialog has gone.
  void theDataWindowGoesBelowEveryDialog() {
    WriteAll(dir_->filePath("h.bin"), QByteArray(100, 'x'));
    ScriptedPrompts* prompts = nullptr;
    auto w = ShowWindow(dir_->path(), dir_->filePath("h.bin"), &prompts);
    QVERIFY(w);
    w->Actions().viewKinds[1]->trigger();
    DataWindow* d = w->GetDataWindow();
    QVERIFY(d && d->isVisible());
    auto onTop = [d] {
      return d->windowFlags().testFlag(Qt::WindowStaysOnTopHint) &&
             d->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint);
    };
    QVERIFY(onTop());
    int dialogs = 0;
    prompts->whileFileDialog = [&] {
      ++dialogs;
      QVERIFY(d->isVisible());
      QVERIFY(!d->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
      QVERIFY(!d->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
      // A message in between does not bring it back before the dialog ends.
      w->ShowNote("между делом");
      QVERIFY(!d->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    };
    w->Actions().open->trigger();
    QVERIFY(onTop());
    w->Actions().saveAs->trigger();
    QVERIFY(onTop());
    w->Actions().print->trigger();
    QVERIFY(onTop());
    QCOMPARE(dialogs, 3);
    QVERIFY(d->isVisible());
  }

  void theDataWindowShowsAFileOpenedIntoTheHexView() {
    {
      auto w = OpenHex("x");
      QVERIFY(w);
      QVERIFY(w->close());  // the hex view is stored as the last one used
    }
    WriteAll(dir_->filePath("g.bin"), "\x2A\x01");
    auto w = ShowWindow(dir_->path(), dir_->filePath("g.bin"));
    QVERIFY(w);
    WriteAll(dir_->filePath("f.bin"), "\xFF\x7F");
    QVERIFY(w->OpenPath(dir_->filePath("f.bin").toStdString()));
    QCOMPARE(w->ViewKind(), 2);
    DataWindow* d = w->GetDataWindow();
    QVERIFY(d);
    QCOMPARE(d->DataEdits()[1]->text(), QString("-1"));
    QCOMPARE(d->DataEdits()[2]->text(), QString("32767"));
  }

  // A start that opens a file into the hex view with "Поверх других окон" on
  // makes the main window's native window anew after the data window was
  // shown; the data window then still belongs to the new one, and so stays
  // above it. F4 with the data window open does the same.
  void theDataWindowBelongsToTheMainWindowAfterItsFlagsChange() {
    {
      auto w = OpenHex("x");
      QVERIFY(w);
      w->Actions().stayOnTop->trigger();
      QVERIFY(w->close());
    }
    StackingLog log;
    qApp->installEventFilter(&log);
    auto w = ShowWindow(dir_->path(), dir_->filePath("h.bin"));
    QVERIFY(w);
    QVERIFY(w->Actions().stayOnTop->isChecked());
    DataWindow* d = w->GetDataWindow();
    QVERIFY(d && d->isVisible());
    // The desktop learns which window it belongs to when it is shown: after
    // the main window's native window was last made.
    QVERIFY(log.lastNativeWindow > 0);
    QTRY_VERIFY(log.DataWindowShownLast());
    const int made = log.lastNativeWindow;
    w->Actions().stayOnTop->trigger();
    QVERIFY(log.lastNativeWindow > made);
    const QRect where = d->geometry();
    QTRY_VERIFY(log.DataWindowShownLast());
    QCOMPARE(d->geometry(), where);  // shown again exactly where it was
    QVERIFY(d->isVisible());
    qApp->removeEventFilter(&log);
  }

  // The help window opens above the program's windows that stay on top (the
  // data window, a main window with "Поверх других окон"), and like any
  // other window when none is shown.
  void theHelpOpensAboveTheWindowsThatStayOnTop() {
    auto w = OpenHex("x");
    QVERIFY(w);
    QVERIFY(w->GetDataWindow() && w->GetDataWindow()->isVisible());
    w->Actions().help->trigger();
    HelpWindow* h = w->GetHelpWindow();
    QVERIFY(h && h->isVisible());
    QVERIFY(h->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(h->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    h->close();
    w->Actions().viewKinds[0]->trigger();  // the text view: no data window
    w->Actions().help->trigger();
    QVERIFY(!h->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    h->close();
    w->Actions().stayOnTop->trigger();
    w->Actions().downloadPlugin->trigger();
    QVERIFY(h->isVisible());
    QVERIFY(h->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  }

  // A double shows the desktop's separator and is read with either.
  void doublesTakeACommaOrAPoint() {
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    auto w = OpenHex(QByteArray("\0\0\0\0\0\0\xF8\x3F", 8));
    QVERIFY(w);
    DataWindow* d = w->GetDataWindow();
    QVERIFY(d);
    const int row = int(d->Tags().size()) - 1;
    QCOMPARE(d->Tags()[size_t(row)], 8);  // the double comes last
    QCOMPARE(d->DataEdits()[size_t(row)]->text(), QString("1,5"));
    d->DataEdits()[size_t(row)]->setText("2,5");
    d->DataEditEnter(row);
    QCOMPARE(Bytes(*w), QByteArray("\0\0\0\0\0\0\x04\x40", 8));
    QCOMPARE(d->DataEdits()[size_t(row)]->text(), QString("2,5"));
    dynamic_cast<HexView*>(w->View())->MoveCursorToByte(0);
    d->DataEdits()[size_t(row)]->setText("-0.25");
    d->DataEditEnter(row);
    QCOMPARE(Bytes(*w), QByteArray("\0\0\0\0\0\0\xD0\xBF", 8));
    QVERIFY(w->Modified());
  }
};

QTEST_MAIN(HexToolWindowsTest)
#include "hex_tool_windows_test.moc"
