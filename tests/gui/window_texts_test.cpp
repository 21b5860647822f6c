// What the user reads on the window and its dialogs: the standard dialogs in
// Russian, status bar panels that show their whole text, the find and
// replace windows' captions uncut, and a window that stays in its place
// when minimal mode is switched on and off.
#include <QAbstractButton>
#include <QLabel>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>
#include <optional>

#include "find_dialog.h"
#include "gui_files.h"
#include "main_window.h"
#include "replace_dialog.h"
#include "settings/settings.h"
#include "shown_window.h"
#include "translations.h"

using namespace prambus;

class WindowTextsTest : public QObject {
  Q_OBJECT
  std::optional<QTemporaryDir> dir_;

 private slots:
  void init() {
    Cfg() = Settings{};
    dir_.emplace();
  }

  void theStandardDialogsSpeakRussian() {
    QVERIFY(InstallRussianTranslations(*qApp));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString("Отмена"));
    QCOMPARE(QCoreApplication::translate("QFileDialog", "&Open"), QString("&Открыть"));
    QCOMPARE(QCoreApplication::translate("QFontDialog", "Select Font"), QString("Выбор шрифта"));
  }

  // A panel is at least its own width and grows to fit its text.
  void statusPanelsShowTheirWholeText() {
    auto w = ShowWindow(dir_->path(), {});
    QVERIFY(w);
    const int minimum[6] = {70, 70, 80, 60, 80, 50};
    const QList<QLabel*> panels = w->statusBar()->findChildren<QLabel*>();  // in their order
    QCOMPARE(panels.size(), qsizetype(6));
    auto panel = [&](int i) { return panels[i]; };
    for (int i = 0; i < 5; ++i) {
      QCOMPARE(panel(i)->text(), w->StatusPanelText(i));
      QCOMPARE(panel(i)->width(), minimum[i]);
    }
    QFont big = w->statusBar()->font();
    big.setPixelSize(40);
    w->statusBar()->setFont(big);
    QTest::keyClicks(w->centralWidget(), "x");  // refreshes the panels
    for (int i : {0, 2, 3}) {
      QLabel* p = panel(i);
      QVERIFY2(p->width() >= p->fontMetrics().horizontalAdvance(p->text()), qPrintable(p->text()));
    }
  }

  // While a file loads, the panels and the progress after them all show
  // their whole texts at the window's first size, in either view, with a
  // line count of seven figures in the text view. A narrower window cuts the encoding
  // panel before the progress, which gives its room back when it ends.
  void statusPanelsAndTheLoadProgressFitTheFirstSize() {
    QByteArray lines;
    for (int i = 0; i < 8 << 20; ++i) lines += "ab\n";
    WriteAll(dir_->filePath("big.txt"), lines);
    for (const bool hex : {false, true}) {
      ScriptedPrompts* prompts = nullptr;
      auto w = ShowWindow(dir_->path(), {}, &prompts);
      QVERIFY(w);
      const QSize firstSize = w->size();
      if (hex) w->Actions().viewKinds[1]->trigger();
      prompts->openNames = {dir_->filePath("big.txt")};
      w->Actions().open->trigger();
      // The text view goes on to a line count of seven figures; the hex view
      // would load the rest at once.
      while (!hex && w->Loading() && w->View()->RowCount() < 1000000)
        QCoreApplication::processEvents();
      QVERIFY(w->Loading());
      QStatusBar* bar = w->statusBar();
      QLabel* progress = nullptr;
      for (QLabel* l : bar->findChildren<QLabel*>()) {
        QVERIFY(l->isVisible());
        QVERIFY2(l->width() >= l->sizeHint().width(), qPrintable(l->text()));
        QVERIFY(l->geometry().right() < bar->width());
        if (l->text().startsWith("Загрузка")) progress = l;
      }
      QVERIFY(progress);
      QVERIFY(w->StatusPanelText(2).startsWith(QString::number(w->View()->RowCount())));
      if (!hex) QVERIFY(w->StatusPanelText(2).size() >= 13);  // seven figures, " строк" and more

      QLabel* encoding = bar->findChildren<QLabel*>()[5];
      QCOMPARE(encoding->text(), w->StatusPanelText(5));
      w->resize(700, firstSize.height());
      QTRY_COMPARE(bar->width(), 700);
      QVERIFY(progress->width() >= progress->sizeHint().width());
      QVERIFY(progress->geometry().right() < bar->width());
      QVERIFY(encoding->width() < encoding->sizeHint().width());
      QVERIFY(encoding->width() >= 50);
      QTest::keyClick(w->centralWidget(), Qt::Key_Escape);  // the load stops
      QVERIFY(!w->Loading());
      QVERIFY(!progress->isVisible());
      QVERIFY(encoding->width() >= encoding->sizeHint().width());
    }
  }

  // Every caption of the find and replace windows fits its control, in the
  // text view and in the hex view with the find window's number options.
  void searchWindowCaptionsAreWhole() {
    auto w = ShowWindow(dir_->path(), {});
    QVERIFY(w);
    w->Actions().find->trigger();
    w->Actions().replace->trigger();
    for (const bool hex : {false, true}) {
      if (hex) {
        w->Actions().viewKinds[1]->trigger();
        w->GetFindDialog()->numberCheck->setChecked(true);
        QVERIFY(w->GetFindDialog()->codesBaseCheck->isVisible());
      }
      for (QWidget* dialog :
           std::initializer_list<QWidget*>{w->GetFindDialog(), w->GetReplaceDialog()}) {
        for (QAbstractButton* b : dialog->findChildren<QAbstractButton*>()) {
          if (!b->isVisible()) continue;  // the number options in the text view
          QTRY_VERIFY2(b->width() >= b->sizeHint().width(), qPrintable(b->text()));
        }
        for (QLabel* l : dialog->findChildren<QLabel*>())
          QTRY_VERIFY2(l->width() >= l->sizeHint().width(), qPrintable(l->text()));
      }
    }
  }

  void minimalModeOnAndOffLeavesTheWindowInPlace() {
    ScriptedPrompts* prompts = nullptr;
    auto w = ShowWindow(dir_->path(), {}, &prompts);
    QVERIFY(w);
    prompts->answers = {1000};  // the one-time warning: "Продолжить"
    w->move(100, 120);
    QTest::qWait(20);
    const QPoint before = w->pos();
    QTest::keyClick(w->centralWidget(), Qt::Key_F2);
    QVERIFY(w->Actions().minimalMode->isChecked());
    QTest::keyClick(w->centralWidget(), Qt::Key_F2);
    QVERIFY(!w->Actions().minimalMode->isChecked());
    QTest::qWait(20);
    QCOMPARE(w->pos(), before);
  }
};

QTEST_MAIN(WindowTextsTest)
#include "window_texts_test.moc"
