// The program's message box: results, Escape, button actions, the main
// window's questions through it, and the mouse and window modes of the main
// window.
#include "message_box.h"

#include <QMessageBox>
#include <QTemporaryDir>
#include <QtTest>
#include <optional>

#include "gui_files.h"
#include "main_window.h"
#include "settings/settings.h"
#include "when_modal.h"

using namespace prambus;

class MessageBoxTest : public QObject {
  Q_OBJECT
  std::optional<QTemporaryDir> dir_;

 private slots:
  void init() {
    Cfg() = Settings{};
    dir_.emplace();
  }

  void buttonsReturnTheirResultAndRunTheirAction() {
    MessageBox box(nullptr, "Что делать с документом?", "Текст сообщения.",
                   {"Да", "Нет", "Отмена"});
    bool ran = false;
    box.Button(1)->action = [&] { ran = true; };
    QTimer::singleShot(50, &box, [&] { box.Button(1)->click(); });
    QCOMPARE(box.ShowModal(), 1001);
    QVERIFY(ran);
    MessageBox second(nullptr, "x", "Нажмите Escape", {"ОК"});
    QTimer::singleShot(50, &second, [&] { QTest::keyClick(&second, Qt::Key_Escape); });
    QCOMPARE(second.ShowModal(), 2);
    // The buttons lie inside the box, below the text.
    const QRect b = box.Button(0)->geometry();
    QVERIFY(b.top() >= box.Layout().textRect.bottom);
    QVERIFY(box.rect().contains(box.Button(2)->geometry()));
  }

  // Without a script the window asks through the program's own box and shows
  // notes in the desktop's message box.
  void theWindowAsksThroughTheRealDialogs() {
    MainWindow w({"prambus"}, dir_->path());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QByteArray dataAtStart = ReadAll(dir_->filePath("data.dat"));
    QTest::keyClicks(w.centralWidget(), "x");
    QString caption;
    WhenModal([&](QWidget* modal) {
      auto* box = qobject_cast<MessageBox*>(modal);
      if (!box) {
        modal->close();
        return;
      }
      caption = box->windowTitle();
      box->Button(2)->click();  // "Отмена"
    });
    w.Exit();
    QCOMPARE(caption, QString("Что делать с документом?"));
    QVERIFY(w.Modified());
    QCOMPARE(ReadAll(dir_->filePath("data.dat")), dataAtStart);  // nothing written: it goes on
    QString note;
    WhenModal([&](QWidget* modal) {
      if (auto* box = qobject_cast<QMessageBox*>(modal)) note = box->text();
      modal->close();
    });
    w.ShowNote("Проверка");
    QCOMPARE(note, QString("Проверка"));
  }

  void mouseClickDragAndWheelMoveTheCursorAndView() {
    QFile f(dir_->filePath("m.txt"));
    f.open(QIODevice::WriteOnly);
    for (int i = 0; i < 200; ++i) f.write("line of text\r\n");
    f.close();
    MainWindow w({"prambus", dir_->filePath("m.txt")}, dir_->path());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QWidget* s = w.centralWidget();
    const int lh = w.View()->LineHeight();
    QTest::mouseClick(s, Qt::LeftButton, Qt::NoModifier, QPoint(5, 2 + lh * 3 + 2));
    QCOMPARE(w.View()->CursorRow(), 3);
    QTest::mouseClick(s, Qt::LeftButton, Qt::ShiftModifier, QPoint(5, 2 + lh * 5 + 2));
    QVERIFY(w.View()->HasSelection());
    QCOMPARE(w.View()->AnchorRow(), 3);
    QVERIFY(w.VBar()->isEnabled());
    const int before = w.VBar()->value();
    QWheelEvent wheel(QPointF(50, 50), s->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(s, &wheel);
    QCOMPARE(w.VBar()->value(), before + w.VBar()->singleStep());
    // Dragging below the view scrolls it by itself.
    QTest::mousePress(s, Qt::LeftButton, Qt::NoModifier, QPoint(5, 10));
    QMouseEvent move(QEvent::MouseMove, QPointF(5, w.Surface().height() + 100), QPointF(),
                     Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(s, &move);
    const int atDrag = w.VBar()->value();
    QTest::qWait(200);
    QVERIFY(w.VBar()->value() > atDrag);
    QTest::mouseRelease(s, Qt::LeftButton, Qt::NoModifier, QPoint(5, 10));
  }

  void statusBarToggles() {
    MainWindow w({"prambus"}, dir_->path());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.ToggleStatusBar();
    QVERIFY(!w.Actions().statusBar->isChecked());
    w.ToggleStatusBar();
    QVERIFY(w.Actions().statusBar->isChecked());
  }
};

QTEST_MAIN(MessageBoxTest)
#include "message_box_test.moc"
