// Every menu command is reached through its named action, as a click on the
// menu item or the context menu would reach it; the keys of the commands that
// other windows provide run their actions.
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QMenuBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>
#include <optional>

#include "find_dialog.h"
#include "gui_files.h"
#include "help_window.h"
#include "main_window.h"
#include "replace_dialog.h"
#include "scripted_prompts.h"
#include "settings/data_file.h"
#include "settings/settings.h"
#include "shell/file_messages.h"
#include "shown_window.h"

using namespace prambus;

namespace {
std::string Text(const MainWindow& w) {
  std::string s;
  for (int r = 0; r <= w.View()->LastRow(); ++r) s += w.View()->GetRow(r);
  return s;
}
}  // namespace

// Takes the URLs the program hands to the desktop.
class UrlCatcher : public QObject {
  Q_OBJECT
 public:
  QList<QUrl> urls;
 public slots:
  void Open(const QUrl& url) { urls << url; }
};

class MenuCommandsTest : public QObject {
  Q_OBJECT
  std::optional<QTemporaryDir> dir_;
  QString Path(const QString& name) const { return dir_->filePath(name); }

  std::unique_ptr<MainWindow> w_;
  ScriptedPrompts* prompts_ = nullptr;

  // Shows the window on a file (or untitled), answering through a script.
  bool Show(const QString& file) {
    w_ = ShowWindow(dir_->path(), file, &prompts_);
    return w_ != nullptr;
  }

 private slots:
  void init() {
    Cfg() = Settings{};
    dir_.emplace();
  }
  void cleanup() { w_.reset(); }

  void fileCommands() {
    WriteAll(Path("a.txt"), "first");
    WriteAll(Path("b.txt"), "second");
    QVERIFY(Show(Path("a.txt")));
    const QByteArray dataAtStart = ReadAll(Path("data.dat"));
    const MenuActions& a = w_->Actions();
    prompts_->openNames = {Path("b.txt")};
    a.open->trigger();
    QCOMPARE(w_->FileName(), Path("b.txt"));
    QTest::keyClicks(w_->centralWidget(), "2");
    a.save->trigger();
    QCOMPARE(ReadAll(Path("b.txt")), QByteArray("2second"));
    prompts_->saveNames = {Path("c.txt")};
    a.saveAs->trigger();
    QCOMPARE(w_->FileName(), Path("c.txt"));
    QCOMPARE(ReadAll(Path("c.txt")), QByteArray("2second"));
    a.newDocument->trigger();
    QVERIFY(w_->FileName().isEmpty());
    QCOMPARE(w_->windowTitle(), QString("Безымянный.txt - Прамбус"));
    QVERIFY(prompts_->questions.isEmpty());  // nothing was unsaved so far
    QTest::keyClicks(w_->centralWidget(), "x");
    prompts_->answers = {1002};
    a.exit->trigger();  // "Отмена": the program goes on
    QCOMPARE(prompts_->questions.size(), 1);
    QCOMPARE(ReadAll(Path("data.dat")), dataAtStart);
    prompts_->answers = {1001};
    a.exit->trigger();  // "Нет": the settings are written and the program ends
    QVERIFY(ReadAll(Path("data.dat")) != dataAtStart);
    QVERIFY(prompts_->notes.isEmpty());
  }

  void editCommandsAreTheContextMenusToo() {
    WriteAll(Path("e.txt"), "abc");
    QVERIFY(Show(Path("e.txt")));
    const MenuActions& a = w_->Actions();
    const QList<QAction*> context = w_->Menus().context->actions();
    for (QAction* shared : {a.undo, a.redo, a.cut, a.copy, a.paste, a.selectAll, a.font,
                            a.minimalMode, a.exit, w_->Menus().viewKinds->menuAction()})
      QVERIFY2(context.contains(shared), qPrintable(shared->text()));
    a.selectAll->trigger();
    QVERIFY(w_->View()->HasSelection());
    a.copy->trigger();
    QCOMPARE(QApplication::clipboard()->text(), QString("abc"));
    a.cut->trigger();
    QCOMPARE(Text(*w_), std::string());
    QVERIFY(a.undo->isEnabled());
    a.undo->trigger();
    QCOMPARE(Text(*w_), std::string("abc"));
    QVERIFY(a.redo->isEnabled());
    a.redo->trigger();
    QCOMPARE(Text(*w_), std::string());
    a.paste->trigger();
    a.paste->trigger();
    QCOMPARE(Text(*w_), std::string("abcabc"));
  }

  void formatCommands() {
    QVERIFY(Show(QString()));
    const MenuActions& a = w_->Actions();
    a.statusBar->trigger();
    QVERIFY(!a.statusBar->isChecked());
    QVERIFY(!w_->statusBar()->isVisible());
    a.statusBar->trigger();
    QVERIFY(a.statusBar->isChecked());
    QVERIFY(w_->statusBar()->isVisible());
    a.stayOnTop->trigger();
    QVERIFY(a.stayOnTop->isChecked());
    QVERIFY(w_->windowFlags() & Qt::WindowStaysOnTopHint);
    a.stayOnTop->trigger();
    QVERIFY(!(w_->windowFlags() & Qt::WindowStaysOnTopHint));
    // Minimal mode warns first; "Не показывать в будущем" ends the warnings.
    prompts_->answers = {1001};
    a.minimalMode->trigger();
    QVERIFY(a.minimalMode->isChecked());
    QVERIFY(!w_->menuBar()->isVisible());
    QCOMPARE(prompts_->questions.size(), 1);
    QVERIFY(prompts_->questions[0].startsWith("ПРЕДУПРЕЖДЕНИЕ: Выйти из режима"));
    QVERIFY(prompts_->questions[0].contains("клавиши F2;"));
    QVERIFY(!Cfg().MinimalModeWarning);
    a.minimalMode->trigger();
    QVERIFY(!a.minimalMode->isChecked());
    QVERIFY(w_->menuBar()->isVisible());
    QCOMPARE(prompts_->questions.size(), 1);
    // The view kinds and the encodings.
    a.viewKinds[1]->trigger();
    QCOMPARE(w_->ViewKind(), 2);
    QVERIFY(a.viewKinds[1]->isChecked() && !a.viewKinds[0]->isChecked());
    a.viewKinds[0]->trigger();
    QCOMPARE(w_->ViewKind(), 1);
    w_->EncodingActions()[1]->trigger();
    QVERIFY(w_->EncodingActions()[1]->isChecked() && !w_->EncodingActions()[0]->isChecked());
    QVERIFY(w_->StatusPanelText(5).endsWith("DOS"));
    // "Шрифт...": a larger font gives taller rows; cancelling changes nothing.
    const int before = w_->View()->LineHeight();
    QFont big("DejaVu Sans Mono");
    big.setPixelSize(40);
    prompts_->font = big;
    a.font->trigger();
    QVERIFY(w_->View()->LineHeight() > before);
    {  // the chosen font is on disk at once, not only at exit
      StoredState stored;
      Settings settings;
      QVERIFY(ReadDataFile(Path("data.dat").toStdString(), stored, settings));
      QCOMPARE(stored.surfaceFont.height, -40);
    }
    const int large = w_->View()->LineHeight();
    prompts_->font.reset();
    a.font->trigger();
    QCOMPARE(w_->View()->LineHeight(), large);
  }

  void encodingAndRecodeCommands() {
    QByteArray enc;  // a table that swaps the letters a and b
    for (int i = 0; i < 256; ++i)
      enc += QByteArray::number(i == 'a' ? 'b' : i == 'b' ? 'a' : i) + "\n";
    WriteAll(Path("swap.enc"), enc);
    WriteAll(Path("bad.enc"), "not a table");
    WriteAll(Path("doc.txt"), "abc");
    QVERIFY(Show(Path("doc.txt")));
    const MenuActions& a = w_->Actions();
    prompts_->openNames = {Path("swap.enc")};
    prompts_->text = "Обмен";
    a.loadEncoding->trigger();
    QCOMPARE(w_->EncodingActions().size(), size_t(8));
    QCOMPARE(w_->EncodingActions()[7]->text(), QString("Обмен"));
    QVERIFY(w_->EncodingActions()[7]->isChecked());
    QCOMPARE(Text(*w_), std::string("bac"));
    {  // on disk at once, not only at exit
      StoredState stored;
      Settings settings;
      QVERIFY(ReadDataFile(Path("data.dat").toStdString(), stored, settings));
      QCOMPARE(stored.encodings.size(), size_t{1});
      QCOMPARE(stored.encodings[0].name, std::string("Обмен"));
    }
    // The loaded item sits above "Загрузить из файла...".
    const QList<QAction*> items = w_->Menus().encodings->actions();
    QCOMPARE(items.indexOf(w_->EncodingActions()[7]) + 1, items.indexOf(a.loadEncoding));
    prompts_->openNames = {Path("bad.enc")};
    a.loadEncoding->trigger();
    QCOMPARE(prompts_->notes,
             QStringList{"К сожалению, я не могу разобрать формат указанного файла кодировки."});
    QCOMPARE(w_->EncodingActions().size(), size_t(8));
    int recodeRuns = 0;
    prompts_->recode = [&](RecodeDialog&) {
      ++recodeRuns;
      return 2;
    };
    a.recode->trigger();
    QCOMPARE(recodeRuns, 1);
  }

  void findReplaceAndHelpCommands() {
    WriteAll(Path("f.txt"), "one two");
    QVERIFY(Show(Path("f.txt")));
    const MenuActions& a = w_->Actions();
    QVERIFY(!a.findNext->isEnabled());
    a.find->trigger();
    QVERIFY(w_->GetFindDialog()->isVisible());
    w_->GetFindDialog()->hide();
    a.replace->trigger();
    QVERIFY(w_->GetReplaceDialog()->isVisible());
    w_->GetReplaceDialog()->hide();
    // The help comes in the program's own window; nothing goes to the
    // desktop's services.
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("file", &catcher, "Open");
    a.help->trigger();
    QDesktopServices::unsetUrlHandler("file");
    QVERIFY(catcher.urls.isEmpty());
    QVERIFY(w_->GetHelpWindow() && w_->GetHelpWindow()->isVisible());
    QCOMPARE(w_->GetHelpWindow()->Browser()->source(),
             QUrl::fromLocalFile(QCoreApplication::applicationDirPath() + "/prambus.html"));
  }

  // A line-end conversion chosen for one file stays chosen for the next ones
  // (as the view's check marks do), so it is named in the status bar, and a
  // file it would change says so once, when it opens.
  void anActiveLineEndConversionIsShown() {
    WriteAll(Path("a.txt"), "one\r\ntwo\r\n");
    WriteAll(Path("b.txt"), "three\r\nfour");
    WriteAll(Path("c.txt"), "five\nsix\n");
    QVERIFY(Show(Path("a.txt")));
    QCOMPARE(w_->StatusPanelText(5), QString("Кодировка - Windows"));
    QMenu* lineEnds = w_->ViewItems()[1]->menu();
    lineEnds->actions()[0]->trigger();  // "#10"
    QCOMPARE(w_->StatusPanelText(5), QString("Кодировка - Windows, переводы строки - #10"));
    // a.txt would be written with other line ends: it has changed, and the
    // next open asks about it ("Нет"). b.txt only opens with the rule on.
    QVERIFY(w_->Modified());
    prompts_->answers = {1001};
    const QString note = QString::fromStdString(LineEndConversionNote("\n"));
    for (const char* name : {"b.txt", "c.txt"}) {
      prompts_->openNames = {Path(name)};
      w_->Actions().open->trigger();
      QCOMPARE(w_->FileName(), Path(name));
      QVERIFY(!w_->Modified());  // loaded under the rule, not changed by it
      QTest::qWait(20);
      QCOMPARE(w_->StatusPanelText(5), QString("Кодировка - Windows, переводы строки - #10"));
    }
    QCOMPARE(prompts_->notes, QStringList{note});  // for b.txt; c.txt has LF already
    QCOMPARE(prompts_->questions.size(), 1);       // about a.txt alone
    lineEnds->actions()[3]->trigger();             // "Оставить как есть"
    QCOMPARE(w_->StatusPanelText(5), QString("Кодировка - Windows"));
  }

  // Ctrl+P and Ctrl+I run whatever their actions are connected to, and only
  // while the actions are enabled.
  void printAndDocumentInfoKeysRunTheirActions() {
    QVERIFY(Show(QString()));
    const MenuActions& a = w_->Actions();
    QCOMPARE(a.print->shortcut(), QKeySequence("Ctrl+P"));
    QCOMPARE(a.documentInfo->shortcut(), QKeySequence("Ctrl+I"));
    QSignalSpy print(a.print, &QAction::triggered);
    QSignalSpy info(a.documentInfo, &QAction::triggered);
    QTest::keyClick(w_->centralWidget(), Qt::Key_P, Qt::ControlModifier);
    QTest::keyClick(w_->centralWidget(), Qt::Key_I, Qt::ControlModifier);
    QTest::keyClick(w_->centralWidget(), Qt::Key_I, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(print.count(), 1);
    QCOMPARE(info.count(), 1);
    a.print->setEnabled(false);
    QTest::keyClick(w_->centralWidget(), Qt::Key_P, Qt::ControlModifier);
    QCOMPARE(print.count(), 1);
    QCOMPARE(Text(*w_), std::string());  // nothing was typed
  }
};

QTEST_MAIN(MenuCommandsTest)
#include "menu_commands_test.moc"
