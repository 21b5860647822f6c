// Every menu command is reached through its named action, as a click on the
// menu item or the context menu would reach it; the keys of the commands that
// other windows provide run their actions.
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QMenuBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>
#include <optional>

#include "find_dialog.h"
#include "gui_files.h"
#include "main_window.h"
#include "replace_dialog.h"
#include "scripted_prompts.h"
#include "settings/settings.h"

using namespace prambus;

namespace {
std::string Text(const MainWindow& w) {
  std::string s;
  for (int r = 0; r <= w.View()->LastRow; ++r) s += w.View()->GetRow(r);
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

  // A shown window on a file (or untitled), answering through a script.
  std::unique_ptr<MainWindow> Open(const QString& file, ScriptedPrompts*& prompts) {
    QStringList args{"prambus"};
    if (!file.isEmpty()) args << file;
    auto w = std::make_unique<MainWindow>(args, dir_->path());
    prompts = &ScriptedPrompts::InstallOn(*w);
    w->show();
    if (!QTest::qWaitForWindowExposed(w.get())) return nullptr;
    return w;
  }

 private slots:
  void init() {
    Cfg() = Settings{};
    dir_.emplace();
  }

  void fileCommands() {
    WriteAll(Path("a.txt"), "first");
    WriteAll(Path("b.txt"), "second");
    ScriptedPrompts* prompts;
    auto w = Open(Path("a.txt"), prompts);
    QVERIFY(w);
    const MenuActions& a = w->Actions();
    prompts->openNames = {Path("b.txt")};
    a.open->trigger();
    QCOMPARE(w->FileName(), Path("b.txt"));
    QTest::keyClicks(w->centralWidget(), "2");
    a.save->trigger();
    QCOMPARE(ReadAll(Path("b.txt")), QByteArray("2second"));
    prompts->saveNames = {Path("c.txt")};
    a.saveAs->trigger();
    QCOMPARE(w->FileName(), Path("c.txt"));
    QCOMPARE(ReadAll(Path("c.txt")), QByteArray("2second"));
    a.newDocument->trigger();
    QVERIFY(w->FileName().isEmpty());
    QCOMPARE(w->windowTitle(), QString("Безымянный.txt - Прамбус"));
    QVERIFY(prompts->questions.isEmpty());  // nothing was unsaved so far
    QTest::keyClicks(w->centralWidget(), "x");
    prompts->answers = {1002};
    a.exit->trigger();  // "Отмена": the program goes on
    QCOMPARE(prompts->questions.size(), 1);
    QVERIFY(!QFile::exists(Path("data.dat")));
    prompts->answers = {1001};
    a.exit->trigger();  // "Нет": the settings are written and the program ends
    QVERIFY(QFile::exists(Path("data.dat")));
    QVERIFY(prompts->notes.isEmpty());
  }

  void editCommandsAreTheContextMenusToo() {
    WriteAll(Path("e.txt"), "abc");
    ScriptedPrompts* prompts;
    auto w = Open(Path("e.txt"), prompts);
    QVERIFY(w);
    const MenuActions& a = w->Actions();
    const QList<QAction*> context = w->Menus().context->actions();
    for (QAction* shared : {a.undo, a.redo, a.cut, a.copy, a.paste, a.selectAll, a.font,
                            a.minimalMode, a.exit, w->Menus().viewKinds->menuAction()})
      QVERIFY2(context.contains(shared), qPrintable(shared->text()));
    a.selectAll->trigger();
    QVERIFY(w->View()->HasSelection());
    a.copy->trigger();
    QCOMPARE(QApplication::clipboard()->text(), QString("abc"));
    a.cut->trigger();
    QCOMPARE(Text(*w), std::string());
    QVERIFY(a.undo->isEnabled());
    a.undo->trigger();
    QCOMPARE(Text(*w), std::string("abc"));
    QVERIFY(a.redo->isEnabled());
    a.redo->trigger();
    QCOMPARE(Text(*w), std::string());
    a.paste->trigger();
    a.paste->trigger();
    QCOMPARE(Text(*w), std::string("abcabc"));
  }

  void formatCommands() {
    ScriptedPrompts* prompts;
    auto w = Open(QString(), prompts);
    QVERIFY(w);
    const MenuActions& a = w->Actions();
    a.statusBar->trigger();
    QVERIFY(!a.statusBar->isChecked());
    QVERIFY(!w->statusBar()->isVisible());
    a.statusBar->trigger();
    QVERIFY(a.statusBar->isChecked());
    QVERIFY(w->statusBar()->isVisible());
    a.stayOnTop->trigger();
    QVERIFY(a.stayOnTop->isChecked());
    QVERIFY(w->windowFlags() & Qt::WindowStaysOnTopHint);
    a.stayOnTop->trigger();
    QVERIFY(!(w->windowFlags() & Qt::WindowStaysOnTopHint));
    // Minimal mode warns first; "Не показывать в будущем" ends the warnings.
    prompts->answers = {1001};
    a.minimalMode->trigger();
    QVERIFY(a.minimalMode->isChecked());
    QVERIFY(!w->menuBar()->isVisible());
    QCOMPARE(prompts->questions.size(), 1);
    QVERIFY(prompts->questions[0].startsWith("ПРЕДУПРЕЖДЕНИЕ: Выйти из режима"));
    QVERIFY(prompts->questions[0].contains("клавиши F2;"));
    QVERIFY(!Cfg().MinimalModeWarning);
    a.minimalMode->trigger();
    QVERIFY(!a.minimalMode->isChecked());
    QVERIFY(w->menuBar()->isVisible());
    QCOMPARE(prompts->questions.size(), 1);
    // The view kinds and the encodings.
    a.viewKinds[1]->trigger();
    QCOMPARE(w->ViewKind(), 2);
    QVERIFY(a.viewKinds[1]->isChecked() && !a.viewKinds[0]->isChecked());
    a.viewKinds[0]->trigger();
    QCOMPARE(w->ViewKind(), 1);
    w->EncodingActions()[1]->trigger();
    QVERIFY(w->EncodingActions()[1]->isChecked() && !w->EncodingActions()[0]->isChecked());
    QVERIFY(w->StatusPanelText(5).endsWith("DOS"));
    // "Шрифт...": a larger font gives taller rows; cancelling changes nothing.
    const int before = w->View()->LineHeight();
    QFont big("DejaVu Sans Mono");
    big.setPixelSize(40);
    prompts->font = big;
    a.font->trigger();
    QVERIFY(w->View()->LineHeight() > before);
    const int large = w->View()->LineHeight();
    prompts->font.reset();
    a.font->trigger();
    QCOMPARE(w->View()->LineHeight(), large);
  }

  void encodingAndRecodeCommands() {
    QByteArray enc;  // a table that swaps the letters a and b
    for (int i = 0; i < 256; ++i)
      enc += QByteArray::number(i == 'a' ? 'b' : i == 'b' ? 'a' : i) + "\n";
    WriteAll(Path("swap.enc"), enc);
    WriteAll(Path("bad.enc"), "not a table");
    WriteAll(Path("doc.txt"), "abc");
    ScriptedPrompts* prompts;
    auto w = Open(Path("doc.txt"), prompts);
    QVERIFY(w);
    const MenuActions& a = w->Actions();
    prompts->openNames = {Path("swap.enc")};
    prompts->text = "Обмен";
    a.loadEncoding->trigger();
    QCOMPARE(w->EncodingActions().size(), size_t(3));
    QCOMPARE(w->EncodingActions()[2]->text(), QString("Обмен"));
    QVERIFY(w->EncodingActions()[2]->isChecked());
    QCOMPARE(Text(*w), std::string("bac"));
    // The loaded item sits above "Загрузить из файла...".
    const QList<QAction*> items = w->Menus().encodings->actions();
    QCOMPARE(items.indexOf(w->EncodingActions()[2]) + 1, items.indexOf(a.loadEncoding));
    prompts->openNames = {Path("bad.enc")};
    a.loadEncoding->trigger();
    QCOMPARE(prompts->notes,
             QStringList{"К сожалению, я не могу разобрать формат указанного файла кодировки."});
    QCOMPARE(w->EncodingActions().size(), size_t(3));
    int recodeRuns = 0;
    prompts->recode = [&](RecodeDialog&) {
      ++recodeRuns;
      return 2;
    };
    a.recode->trigger();
    QCOMPARE(recodeRuns, 1);
  }

  void findReplaceAndHelpCommands() {
    WriteAll(Path("f.txt"), "one two");
    ScriptedPrompts* prompts;
    auto w = Open(Path("f.txt"), prompts);
    QVERIFY(w);
    const MenuActions& a = w->Actions();
    QVERIFY(!a.findNext->isEnabled());
    a.find->trigger();
    QVERIFY(w->GetFindDialog()->isVisible());
    w->GetFindDialog()->hide();
    a.replace->trigger();
    QVERIFY(w->GetReplaceDialog()->isVisible());
    w->GetReplaceDialog()->hide();
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("file", &catcher, "Open");
    a.help->trigger();
    QDesktopServices::unsetUrlHandler("file");
    QCOMPARE(catcher.urls, QList<QUrl>{QUrl::fromLocalFile(QCoreApplication::applicationDirPath() +
                                                           "/prambus.html")});
  }

  // Ctrl+P and Ctrl+I run whatever their actions are connected to, and only
  // while the actions are enabled.
  void printAndDocumentInfoKeysRunTheirActions() {
    ScriptedPrompts* prompts;
    auto w = Open(QString(), prompts);
    QVERIFY(w);
    const MenuActions& a = w->Actions();
    QCOMPARE(a.print->shortcut(), QKeySequence("Ctrl+P"));
    QCOMPARE(a.documentInfo->shortcut(), QKeySequence("Ctrl+I"));
    QSignalSpy print(a.print, &QAction::triggered);
    QSignalSpy info(a.documentInfo, &QAction::triggered);
    QTest::keyClick(w->centralWidget(), Qt::Key_P, Qt::ControlModifier);
    QTest::keyClick(w->centralWidget(), Qt::Key_I, Qt::ControlModifier);
    QTest::keyClick(w->centralWidget(), Qt::Key_I, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(print.count(), 1);
    QCOMPARE(info.count(), 1);
    a.print->setEnabled(false);
    QTest::keyClick(w->centralWidget(), Qt::Key_P, Qt::ControlModifier);
    QCOMPARE(print.count(), 1);
    QCOMPARE(Text(*w), std::string());  // nothing was typed
  }
};

QTEST_MAIN(MenuCommandsTest)
#include "menu_commands_test.moc"
