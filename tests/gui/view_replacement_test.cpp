// What must survive the view being replaced (F6, New, Open) on the real main
// window: the open replace window, and the encoding menu when a loaded
// encoding's file has gone.
#include <QTemporaryDir>
#include <QtTest>
#include <optional>

#include "gui_files.h"
#include "main_window.h"
#include "replace_dialog.h"
#include "scripted_prompts.h"
#include "settings/settings.h"
#include "shown_window.h"
#include "views/hex_view.h"
#include "window_reading.h"

using namespace prambus;

class ViewReplacementTest : public QObject {
  Q_OBJECT
  std::optional<QTemporaryDir> dir_;
  QString Path(const QString& n) const { return dir_->filePath(n); }

 private slots:
  void init() {
    Cfg() = Settings{};
    dir_.emplace();
  }

  // The replace window opened in the hex view keeps working on whichever view
  // the window shows after F6, never on the view it was opened over.
  void replaceWindowFollowsTheViewAfterF6() {
    WriteAll(Path("d.bin"), "A 41");
    auto w = ShowWindow(dir_->path(), Path("d.bin"));
    QVERIFY(w);
    QTest::keyClick(w->centralWidget(), Qt::Key_F6);
    QCOMPARE(w->ViewKind(), 2);
    w->Actions().replace->trigger();
    ReplaceDialog* r = w->GetReplaceDialog();
    QVERIFY(r->isVisible());
    QTest::keyClick(w->centralWidget(), Qt::Key_F6);  // the hex view is destroyed
    QTest::keyClick(w->centralWidget(), Qt::Key_F6);  // and a new one made
    QCOMPARE(w->ViewKind(), 2);
    r->findEdit->setText("41");
    QTest::mouseClick(r->findNextButton, Qt::LeftButton);
    // Searched as text in the new view: the characters "41" at offset 2, not
    // the code 41 ("A") at offset 0, which a search for both would find first.
    ViewBase* v = w->View();
    const int start = std::min(v->PosToOffset(v->CursorColumn(), v->CursorRow()),
                               v->PosToOffset(v->AnchorColumn(), v->AnchorRow()));
    QCOMPARE(start, 2);
    QCOMPARE(dynamic_cast<HexView*>(v)->SearchAs, uint8_t(3));  // restored after the step
    // And in the text view the same window searches the text.
    QTest::keyClick(w->centralWidget(), Qt::Key_F6);
    v = w->View();
    v->SetPosition(0, 0, true);
    v->SetPosition(0, 0, false);
    QTest::mouseClick(r->findNextButton, Qt::LeftButton);
    QCOMPARE(v->GetSelectedText(), std::string("41"));
  }

  // F6 re-applies the shown encoding; when its file has gone it is removed
  // (inside the loop that used to walk the items) and the view, the menu and
  // the status bar all fall back to "Windows" together.
  void vanishedEncodingFileOnF6AndOnClick() {
    WriteAll(Path("swap.enc"), SwapAbEncoding());
    WriteAll(Path("doc.txt"), "abc");
    WriteAll(Path("other.enc"), SwapAbEncoding());
    auto w = ShowWindow(dir_->path(), Path("doc.txt"));
    QVERIFY(w);
    QVERIFY(w->AddLoadedEncoding(Path("swap.enc"), "Обмен"));
    QVERIFY(w->AddLoadedEncoding(Path("other.enc"), "Другая"));
    EncodingItem(*w, "Обмен")->trigger();
    QCOMPARE(DocumentText(w->View()), std::string("bac"));
    QCOMPARE(CheckedEncodings(*w), QStringList{"Обмен"});
    // Clicking the checked item again leaves it checked.
    EncodingItem(*w, "Обмен")->trigger();
    QCOMPARE(CheckedEncodings(*w), QStringList{"Обмен"});

    QFile::remove(Path("swap.enc"));
    QTest::keyClick(w->centralWidget(), Qt::Key_F6);
    QCOMPARE(w->ViewKind(), 2);
    QCoreApplication::processEvents();  // the removed item is deleted once its click is over
    QCOMPARE(w->EncodingActions().size(), size_t(8));
    QCOMPARE(CheckedEncodings(*w), QStringList{"Windows"});
    QVERIFY(w->StatusPanelText(5).endsWith("Windows"));
    QTest::keyClick(w->centralWidget(), Qt::Key_F6);
    QCOMPARE(DocumentText(w->View()), std::string("abc"));  // shown through Windows again

    // Clicking a loaded encoding whose file has gone: removed, and the shown
    // encoding (DOS) keeps the only mark.
    EncodingItem(*w, "DOS")->trigger();
    QFile::remove(Path("other.enc"));
    QAction* gone = EncodingItem(*w, "Другая");
    gone->trigger();  // Qt marks it before the command runs
    QCOMPARE(CheckedEncodings(*w), QStringList{"DOS"});
    QCOMPARE(w->EncodingActions().size(), size_t(7));
    QVERIFY(!w->Menus().encodings->actions().contains(gone));
    QVERIFY(w->StatusPanelText(5).endsWith("DOS"));
    // Clicking the checked built-in item keeps its mark.
    EncodingItem(*w, "DOS")->trigger();
    QCOMPARE(CheckedEncodings(*w), QStringList{"DOS"});
  }
};

QTEST_MAIN(ViewReplacementTest)
#include "view_replacement_test.moc"
