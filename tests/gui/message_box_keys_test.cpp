// The program's message box at the keyboard: the first button has the
// focus and is the default, Enter presses the focused button, Tab follows
// the buttons' order, and Escape or the title bar's close give 2.
#include <QTemporaryDir>
#include <QtTest>
#include <optional>

#include "gui_files.h"
#include "main_window.h"
#include "message_box.h"
#include "settings/settings.h"
#include "when_modal.h"

using namespace prambus;

class MessageBoxKeysTest : public QObject {
  Q_OBJECT
  std::optional<QTemporaryDir> dir_;

 private slots:
  void init() {
    Cfg() = Settings{};
    dir_.emplace();
  }

  void keysPressTheFocusedButton() {
    struct Case {
      QList<Qt::Key> keys;
      int result;
    };
    const Case cases[] = {
        {{Qt::Key_Return}, 1000},
        {{Qt::Key_Tab, Qt::Key_Enter}, 1001},
        {{Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Space}, 1002},
        {{Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Return}, 1000},  // round again
        {{Qt::Key_Backtab, Qt::Key_Return}, 1002},
        {{Qt::Key_Tab, Qt::Key_Escape}, 2},
    };
    for (const Case& c : cases) {
      MessageBox box(nullptr, "Что делать с документом?", "Сохранить?", {"Да", "Нет", "Отмена"});
      bool firstFocusedAndDefault = false;
      WhenModal([&](QWidget*) {
        firstFocusedAndDefault = box.Button(0)->hasFocus() && box.Button(0)->isDefault();
        for (Qt::Key k : c.keys) QTest::keyClick(QApplication::focusWidget(), k);
      });
      QCOMPARE(box.ShowModal(), c.result);
      QVERIFY(firstFocusedAndDefault);
    }
  }

  void closingFromTheTitleBarGivesTwo() {
    MessageBox box(nullptr, "ПРЕДУПРЕЖДЕНИЕ", "Текст.", {"Продолжить", "Не показывать в будущем"});
    bool ran = false;
    box.Button(0)->action = [&] { ran = true; };
    WhenModal([&](QWidget* modal) { modal->close(); });
    QCOMPARE(box.ShowModal(), 2);
    QVERIFY(!ran);
  }

  // The unsaved-document question of the real window: Enter answers "Да".
  void enterInTheUnsavedQuestionSaves() {
    const QString path = dir_->filePath("u.txt");
    WriteAll(path, "ab");
    MainWindow w({"prambus", path}, dir_->path());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QTest::keyClicks(w.centralWidget(), "x");
    QString caption;
    WhenModal([&](QWidget* modal) {
      caption = modal->windowTitle();
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    w.Actions().newDocument->trigger();
    QCOMPARE(caption, QString("Что делать с документом?"));
    QCOMPARE(ReadAll(path), QByteArray("xab"));
    QVERIFY(!w.Modified());
    QVERIFY(w.FileName().isEmpty());  // the new document
  }
};

QTEST_MAIN(MessageBoxKeysTest)
#include "message_box_keys_test.moc"
