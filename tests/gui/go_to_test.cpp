// "Перейти..." (Ctrl+G) on the real main window: hard lines in the text view,
// offsets in the hex view, steps from the cursor, Shift, bad input, and a
// jump asked for while a file loads.
#include "shell/go_to.h"

#include <QLayout>
#include <QTemporaryDir>
#include <QtTest>
#include <optional>

#include "go_to_dialog.h"
#include "gui_files.h"
#include "main_window.h"
#include "settings/settings.h"
#include "shown_window.h"
#include "views/hex_view.h"

using namespace prambus;

namespace {
constexpr int kWait = 120000;  // a slow sanitizer build loads for long

// Forty lines, each long enough to wrap over several rows of the window.
QByteArray WrappedLines() {
  QByteArray text;
  for (int i = 1; i <= 40; ++i) {
    text += "line " + QByteArray::number(i);
    for (int k = 0; k < 30; ++k) text += " word";
    text += "\r\n";
  }
  return text;
}

int Offset(const ViewBase& v) {
  return const_cast<ViewBase&>(v).PosToOffset(v.CursorColumn(), v.CursorRow());
}

// The cursor's row lies within the view.
bool CursorShown(const ViewBase& v) {
  const int64_t top = int64_t{v.CursorRow()} * const_cast<ViewBase&>(v).LineHeight();
  return top >= v.ScrollY() && top < v.ScrollY() + v.ViewHeight();
}
}  // namespace

class GoToTest : public QObject {
  Q_OBJECT
  std::optional<QTemporaryDir> dir_;
  ScriptedPrompts* prompts_ = nullptr;

  std::unique_ptr<MainWindow> Open(const QByteArray& bytes, bool hex = false) {
    WriteAll(dir_->filePath("f.txt"), bytes);
    auto w = ShowWindow(dir_->path(), dir_->filePath("f.txt"), &prompts_);
    if (w && hex) w->Actions().viewKinds[1]->trigger();
    return w;
  }
  // Ctrl+G with the dialog answered by typing text and pressing Enter
  // (Shift+Enter with shift); heading receives the dialog's heading.
  void GoTo(MainWindow& w, const QString& text, QString* heading = nullptr, bool shift = false) {
    prompts_->goTo = [&, text, shift](GoToDialog& d) {
      if (heading) *heading = d.headingLabel->text();
      d.field->setText(text);
      QTest::keyClick(d.field, Qt::Key_Return, shift ? Qt::ShiftModifier : Qt::NoModifier);
      return d.result();
    };
    QTest::keyClick(w.centralWidget(), Qt::Key_G, Qt::ControlModifier);
  }

 private slots:
  void init() {
    Cfg() = Settings{};
    dir_.emplace();
  }

  // Ctrl+G and the menu item in the text view: a hard line and a place in
  // it, a step from the line the dialog offers, Shift+Enter or the box
  // extending the selection, and text that leads nowhere explained in the
  // dialog with nothing changed.
  void theTextViewGoesToHardLines() {
    const QByteArray text = WrappedLines();
    auto w = Open(text);
    QVERIFY(w);
    ViewBase& v = *w->View();
    QVERIFY(v.RowCount() > 80);  // wrapped: more rows than lines
    QString heading;
    GoTo(*w, "30:11", &heading);
    QCOMPARE(heading, QString("Номер строки в файле (от 1 до 41):"));
    QCOMPARE(Offset(v), text.indexOf("line 30") + 10);
    QVERIFY(!v.HasSelection());
    QVERIFY(CursorShown(v));
    QCOMPARE(w->VBar()->value(), static_cast<int>(v.ScrollY()));
    QString offered;
    prompts_->goTo = [&](GoToDialog& d) {
      offered = d.field->text();
      d.field->setText("-5");
      d.Submit(false);
      return d.result();
    };
    w->Actions().goTo->trigger();
    QCOMPARE(offered, QString("30"));
    QCOMPARE(Offset(v), text.indexOf("line 25"));
    GoTo(*w, "26", nullptr, true);
    QCOMPARE(QByteArray::fromStdString(v.GetSelectedText()),
             text.mid(text.indexOf("line 25"), text.indexOf("line 26") - text.indexOf("line 25")));
    prompts_->goTo = [&](GoToDialog& d) {
      d.extendCheck->setChecked(true);
      d.field->setText("27");
      d.Submit(false);
      return d.result();
    };
    w->Actions().goTo->trigger();
    QCOMPARE(v.PosToOffset(v.AnchorColumn(), v.AnchorRow()), text.indexOf("line 25"));
    QCOMPARE(Offset(v), text.indexOf("line 27"));

    QString problem;
    bool accepted = true;
    prompts_->goTo = [&](GoToDialog& d) {
      d.field->setText("12x");
      QTest::keyClick(d.field, Qt::Key_Return);
      accepted = d.result() == QDialog::Accepted;
      problem = d.problemLabel->isHidden() ? QString() : d.problemLabel->text();
      return QDialog::Rejected;  // the user gives up
    };
    QTest::keyClick(w->centralWidget(), Qt::Key_G, Qt::ControlModifier);
    QVERIFY(!accepted);
    QVERIFY2(problem.startsWith("Я не понимаю «12x». Напишите номер строки (120)"),
             qPrintable(problem));
    QCOMPARE(Offset(v), text.indexOf("line 27"));
    QVERIFY(v.HasSelection());
    QVERIFY(!w->Modified());
  }

  void theHexViewGoesToOffsetsInItsBase() {
    auto w = Open(QByteArray(1000, 'x'), true);
    QVERIFY(w);
    auto* hex = dynamic_cast<HexView*>(w->View());
    QVERIFY(hex);
    QString heading;
    GoTo(*w, "1f", &heading);
    QCOMPARE(heading, QString("Смещение в байтах, в шестнадцатеричной записи (от 0 до 3E8):"));
    QCOMPARE(hex->CursorOffset(), 0x1F);
    // Each problem is shown whole: the label is as tall as its wrapped text
    // needs at the width it has, the help alone as well as with the input.
    QStringList cut;
    prompts_->goTo = [&](GoToDialog& d) {
      d.show();
      for (const char* typed : {"", "zz", "#"}) {
        d.field->setText(typed);
        QTest::keyClick(d.field, Qt::Key_Return);
        d.layout()->activate();
        const QLabel* l = d.problemLabel;
        if (l->isHidden() || l->height() < l->heightForWidth(l->width()))
          cut << QString("%1: %2 < %3")
                     .arg(typed)
                     .arg(l->height())
                     .arg(l->heightForWidth(l->width()));
      }
      return QDialog::Rejected;
    };
    QTest::keyClick(w->centralWidget(), Qt::Key_G, Qt::ControlModifier);
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join("; ")));
    GoTo(*w, "#900");
    QCOMPARE(hex->CursorOffset(), 900);
    QVERIFY(CursorShown(*hex));
    QCOMPARE(w->VBar()->value(), static_cast<int>(hex->ScrollY()));
    GoTo(*w, "-0x10", nullptr, true);
    QCOMPARE(hex->CursorOffset(), 900 - 16);
    QCOMPARE(hex->GetSelectedText(), std::string(16, 'x'));
  }

  void aJumpDuringALoadWaitsForTheWholeFile() {
    QByteArray big;
    for (int i = 0; i < 200000; ++i)
      big += "строка " + QByteArray::number(i).rightJustified(6, '0') + " и слова за ней\r\n";
    WriteAll(dir_->filePath("big.txt"), big);
    auto w = ShowWindow(dir_->path(), {}, &prompts_);
    QVERIFY(w);
    prompts_->openNames = {dir_->filePath("big.txt")};
    w->Actions().open->trigger();
    QVERIFY(w->Loading());
    QString heading;
    bool loadingWhenAsked = true;
    prompts_->goTo = [&](GoToDialog& d) {
      loadingWhenAsked = w->Loading();
      heading = d.headingLabel->text();
      d.field->setText("199999");
      d.Submit(false);
      return d.result();
    };
    QTest::keyClick(w->centralWidget(), Qt::Key_G, Qt::ControlModifier);
    QVERIFY(!loadingWhenAsked);
    QCOMPARE(heading, QString("Номер строки в файле (от 1 до 200\u00A0001):"));
    ViewBase& v = *w->View();
    const QByteArray line = "строка 199998";
    QCOMPARE(QByteArray(v.GetRow(v.CursorRow()).data(), line.size()), line);
    QVERIFY(CursorShown(v));
    // The same from the menu in the hex view, while it loads there.
    w->Actions().viewKinds[1]->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(!w->Loading(), kWait);
    WriteAll(dir_->filePath("big.bin"), big);
    prompts_->openNames = {dir_->filePath("big.bin")};
    w->Actions().open->trigger();
    QVERIFY(w->Loading());
    prompts_->goTo = [&](GoToDialog& d) {
      loadingWhenAsked = w->Loading();
      d.field->setText("#" + QString::number(big.size() - 2));
      d.Submit(false);
      return d.result();
    };
    w->Actions().goTo->trigger();
    QVERIFY(!loadingWhenAsked);
    QCOMPARE(qsizetype(dynamic_cast<HexView&>(*w->View()).CursorOffset()), big.size() - 2);
    QTRY_VERIFY_WITH_TIMEOUT(!w->Loading(), kWait);
  }
};

QTEST_MAIN(GoToTest)
#include "go_to_test.moc"
