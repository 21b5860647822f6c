// File-type associations through the real main window: the welcome window
// of a first start, "Закрепить за расширениями..." with "Добавить...", the
// check of stored bindings at start-up, and the About window. The desktop's
// folders are this test process's own (gui_test_environment.h), and the
// bindings are read back from them.
#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>
#include <deque>
#include <functional>

#include "about_dialog.h"
#include "associations/extension_bindings.h"
#include "extensions_dialog.h"
#include "gui_test_environment.h"
#include "help_window.h"
#include "main_window.h"
#include "new_extension_dialog.h"
#include "scripted_prompts.h"
#include "settings/data_file.h"
#include "welcome_dialog.h"

using namespace prambus;

namespace {

// Answers modal windows in the order they appear, as a user would: each
// step gets the next modal window that opens.
class ModalScript : public QObject {
 public:
  using Step = std::function<void(QWidget*)>;
  explicit ModalScript(std::deque<Step> steps) : steps_(std::move(steps)) {
    timer_.setInterval(10);
    QObject::connect(&timer_, &QTimer::timeout, this, [this] { Poll(); });
    timer_.start();
  }
  bool Done() const { return steps_.empty(); }

 private:
  void Poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || modal == last_ || steps_.empty() || !modal->isVisible()) return;
    last_ = modal;
    Step step = std::move(steps_.front());
    steps_.pop_front();
    step(modal);
  }

  std::deque<Step> steps_;
  QTimer timer_;
  QWidget* last_ = nullptr;
};

// A plain message: its text is kept and it is closed with its button.
ModalScript::Step Note(QStringList* texts) {
  return [texts](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    QVERIFY(box);
    texts->append(box->text());
    box->button(QMessageBox::Ok)->click();
  };
}

QStringList CheckListLines(ExtensionsDialog* d) {
  QStringList lines;
  for (int i = 0; i < d->List()->count(); ++i) {
    QListWidgetItem* item = d->List()->item(i);
    lines << (item->checkState() == Qt::Checked ? "[x] " : "[ ] ") + item->text();
  }
  return lines;
}

}  // namespace

class AssociationsGuiTest : public QObject {
  Q_OBJECT

  std::unique_ptr<QTemporaryDir> dir_;
  QString DataDir() const { return dir_->path(); }

  static std::vector<ExtensionBinding> StoredBindings(const QString& dataDir) {
    StoredState st;
    Settings cfg;
    if (!ReadDataFile((dataDir + "/data.dat").toStdString(), st, cfg)) return {};
    return st.bindings;
  }

 private slots:
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    // Each test starts on a desktop that knows nothing of the program.
    QDir(QString(test::TestHome())).removeRecursively();
    test::DriveWelcomeWindow() = true;
  }
  void cleanup() { test::DriveWelcomeWindow() = false; }

  void firstStartBindsTheWelcomeWindowsListsWithTheirViews() {
    ModalScript script({[](QWidget* w) {
      auto* welcome = qobject_cast<WelcomeDialog*>(w);
      QVERIFY(welcome);
      QCOMPARE(welcome->windowTitle(), QString("Здравствуйте!"));
      QCOMPARE(welcome->ExtensionList(0), QString("*.txt, *.dat"));
      QCOMPARE(welcome->ExtensionList(1), QString("*.hex"));
      const QList<QLabel*> labels = welcome->findChildren<QLabel*>();
      QVERIFY(labels.first()->text().contains("на вашем компьютере. Введите,\n"));
      welcome->OkButton()->click();
    }});
    {
      MainWindow w({"prambus"}, DataDir());
      w.show();
      QVERIFY(QTest::qWaitForWindowExposed(&w));
      QVERIFY(script.Done());
      QCOMPARE(w.State().bindings,
               (std::vector<ExtensionBinding>{{".txt", 0}, {".dat", 0}, {".hex", 1}}));
      for (const char* ext : {".txt", ".dat", ".hex"})
        QVERIFY2(w.Associations().IsBoundToProgram(ext), ext);
    }  // no "Выход": the first start stored the bindings at once
    QCOMPARE(StoredBindings(DataDir()),
             (std::vector<ExtensionBinding>{{".txt", 0}, {".dat", 0}, {".hex", 1}}));
    QVERIFY(QFile::exists(QString(test::TestHome()) + "/data/applications/prambus.desktop"));

    // The next start finds the settings file: no welcome, and the bindings
    // the desktop still routes to the program are kept.
    test::DriveWelcomeWindow() = false;
    MainWindow again({"prambus"}, DataDir());
    again.Associations().UnbindExtension(".dat");
    again.show();
    QVERIFY(QTest::qWaitForWindowExposed(&again));
    QCOMPARE(again.State().bindings, (std::vector<ExtensionBinding>{{".txt", 0}, {".hex", 1}}));
  }

  void notNeededBindsNothingButRegistersTheProgram() {
    ModalScript script(
        {[](QWidget* w) { qobject_cast<WelcomeDialog*>(w)->NotNeededButton()->click(); }});
    MainWindow w({"prambus"}, DataDir());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QVERIFY(script.Done());
    QVERIFY(w.State().bindings.empty());
    QVERIFY(!w.Associations().IsBoundToProgram(".txt"));
    QVERIFY(QFile::exists(QString(test::TestHome()) + "/data/applications/prambus.desktop"));
  }

  void aFieldWithoutADotGetsTheParseMessage() {
    MainWindow w({"prambus"}, DataDir());
    ScriptedPrompts& script = ScriptedPrompts::InstallOn(w);
    script.welcome = [](WelcomeDialog& d) {
      d.Field(0)->setText("txt");
      d.Field(1)->setText("*.hex, ");
      return 1;
    };
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(script.notes, QStringList{kParseFailedMessage});  // both fields: one note
    QCOMPARE(w.State().bindings, (std::vector<ExtensionBinding>{{".hex", 1}}));
  }

  // The messages the welcome window brings come in the middle of the screen,
  // not where the main window, not yet on the screen, would have been.
  void aMessageOfTheWelcomeWindowIsCentredOnTheScreen() {
    QPoint centre;
    QStringList notes;
    ModalScript script({[](QWidget* w) {
                          auto* welcome = qobject_cast<WelcomeDialog*>(w);
                          QVERIFY(welcome);
                          welcome->Field(0)->setText("txt");
                          welcome->Field(1)->clear();
                          welcome->OkButton()->click();
                        },
                        [&](QWidget* w) {
                          centre = w->frameGeometry().center();
                          Note (&notes)(w);
                        }});
    MainWindow w({"prambus"}, DataDir());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QVERIFY(script.Done());
    QCOMPARE(notes, QStringList{kParseFailedMessage});
    const QPoint screen = w.screen()->availableGeometry().center();
    QVERIFY2((centre - screen).manhattanLength() <= 4,
             qPrintable(QString("%1,%2").arg(centre.x()).arg(centre.y())));
  }

  void emptiedFieldsBindNothingAndSayNothing() {
    MainWindow w({"prambus"}, DataDir());
    ScriptedPrompts& script = ScriptedPrompts::InstallOn(w);
    script.welcome = [](WelcomeDialog& d) {
      d.Field(0)->clear();
      d.Field(1)->clear();
      return 1;
    };
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QVERIFY(script.notes.isEmpty());
    QVERIFY(w.State().bindings.empty());
  }

  void anUnreadableSettingsFileStartsWithoutTheWelcome() {
    QVERIFY(QDir(DataDir()).mkdir("data.dat"));  // there, but no file to read
    MainWindow w({"prambus"}, DataDir());
    ScriptedPrompts& script = ScriptedPrompts::InstallOn(w);
    bool greeted = false;
    script.welcome = [&greeted](WelcomeDialog&) {
      greeted = true;
      return 2;
    };
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QVERIFY(!greeted);
    QVERIFY(w.View());
  }

  void extensionsDialogAddsBindsAndReleases() {
    test::DriveWelcomeWindow() = false;
    MainWindow w({"prambus"}, DataDir());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.State().bindings = {{".txt", 0}, {".log", 0}};
    QVERIFY(w.Associations().BindExtension(".log", true));

    QStringList notes, lines;
    auto addExtension = [](const QString& typed, int view) {
      return [typed, view](QWidget* w) {
        auto* d = qobject_cast<NewExtensionDialog*>(w);
        QVERIFY(d);
        QCOMPARE(d->windowTitle(), QString("Новое расширение"));
        QCOMPARE(d->Field()->text(), QString());
        QCOMPARE(d->Views()->currentText(), QString("Обычный текст"));
        d->Views()->setCurrentIndex(view);
        QTest::keyClicks(d->Field(), typed);
        QTest::keyClick(d->Field(), Qt::Key_Return);
      };
    };
    ModalScript script({
        [&](QWidget* w) {
          auto* d = qobject_cast<ExtensionsDialog*>(w);
          QVERIFY(d);
          QCOMPARE(d->windowTitle(), QString("Расширения"));
          lines = CheckListLines(d);
          QTimer::singleShot(0, d->AddButton(), &QPushButton::click);
        },
        addExtension("*.hex", 1),
        [&](QWidget* w) {  // back in the extensions dialog: add a system extension
          QTimer::singleShot(0, qobject_cast<ExtensionsDialog*>(w)->AddButton(),
                             &QPushButton::click);
        },
        addExtension(".EXE", 0),
        Note(&notes),
        [&](QWidget* w) {
          auto* d = qobject_cast<ExtensionsDialog*>(w);
          d->List()->item(1)->setCheckState(Qt::Unchecked);  // .log goes
          lines += CheckListLines(d);
          for (QPushButton* b : d->findChildren<QPushButton*>())
            if (b->text() == "OK") QTimer::singleShot(0, b, &QPushButton::click);
        },
    });
    w.Actions().extensions->trigger();
    QTRY_VERIFY(script.Done());
    QCOMPARE(lines, (QStringList{"[ ] .txt - Обычный текст", "[x] .log - Обычный текст",
                                 "[ ] .txt - Обычный текст", "[ ] .log - Обычный текст",
                                 "[x] .hex - hex-редактор"}));
    QCOMPARE(notes, QStringList{kRefusedNewExtensionMessage});
    QCOMPARE(w.State().bindings, (std::vector<ExtensionBinding>{{".hex", 1}}));
    QVERIFY(w.Associations().IsBoundToProgram(".hex"));
    QVERIFY(!w.Associations().IsBoundToProgram(".log"));
  }

  void theFileDialogsOfferTheBindingsChosen() {
    test::DriveWelcomeWindow() = false;
    MainWindow w({"prambus"}, DataDir());
    ScriptedPrompts& script = ScriptedPrompts::InstallOn(w);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.State().bindings = {{".txt", 0}, {".hex", 1}};
    script.extensions = [](ExtensionsDialog& d) {
      d.List()->item(0)->setCheckState(Qt::Unchecked);
      d.List()->item(1)->setCheckState(Qt::Checked);
      return 1;
    };
    w.Actions().extensions->trigger();
    QCOMPARE(w.State().bindings, (std::vector<ExtensionBinding>{{".hex", 1}}));
    w.Actions().open->trigger();
    QVERIFY2(script.openFilter.contains("(*.hex)"), qPrintable(script.openFilter));
    QVERIFY2(!script.openFilter.contains("*.txt"), qPrintable(script.openFilter));
    // All files are "*", so names without a dot show and a saved name keeps
    // its extension.
    QVERIFY2(script.openFilter.endsWith(";;Все файлы (*)"), qPrintable(script.openFilter));
  }

  void aboutWindowShowsOverTheMainWindowAndHidesWhenLeft() {
    test::DriveWelcomeWindow() = false;
    MainWindow w({"prambus"}, DataDir());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.Actions().stayOnTop->trigger();
    QVERIFY(w.windowFlags() & Qt::WindowStaysOnTopHint);
    QAction* about = w.Actions().about;
    QCOMPARE(about->text(), QString("О программе..."));
    about->trigger();
    AboutDialog* d = w.GetAboutDialog();
    QTRY_VERIFY(d->isActiveWindow());
    QTest::qWait(100);  // and it stays
    QVERIFY(d->isVisible());
    QCOMPARE(d->windowTitle(), QString("О программе"));
    QVERIFY(!(w.windowFlags() & Qt::WindowStaysOnTopHint));  // given up while it shows
    const QRect g = w.frameGeometry(), a = d->frameGeometry();
    QVERIFY(qAbs(a.center().x() - g.center().x()) <= 1);
    QVERIFY(qAbs(a.center().y() - g.center().y()) <= 1);
    QStringList texts;
    for (QLabel* l : d->findChildren<QLabel*>()) texts << l->text();
    QVERIFY(texts.contains("ПРАМБУС  1.11"));
    QVERIFY(texts.contains("Шестнадцатеричный и "));
    QVERIFY(texts.contains("текстовый редактор"));

    // The black around the left picture's figures took the window's colour;
    // the right picture has its blue frame.
    const QImage& left = d->LeftPicture();
    QCOMPARE(left.size(), QSize(129, 149));
    QCOMPARE(left.pixel(127, 2), d->palette().color(QPalette::Window).rgb());
    QCOMPARE(left.pixel(0, 148), d->palette().color(QPalette::Window).rgb());
    const QImage& right = d->RightPicture();
    QCOMPARE(right.size(), QSize(123, 138));
    for (QPoint p : {QPoint(0, 0), QPoint(122, 0), QPoint(122, 137), QPoint(0, 137), QPoint(60, 0)})
      QCOMPARE(right.pixel(p), qRgb(0, 0, 255));
    QVERIFY(right.pixel(60, 60) != qRgb(0, 0, 255));

    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QApplication::sendEvent(d->Link(), &enter);
    QVERIFY(d->Link()->Hovered());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(d->Link(), &leave);
    QVERIFY(!d->Link()->Hovered());
    // The link shows the help in the program's own window.
    QTest::mouseClick(d->Link(), Qt::LeftButton);
    QVERIFY(w.GetHelpWindow() && w.GetHelpWindow()->isVisible());
    QCOMPARE(QFileInfo(w.GetHelpWindow()->Browser()->source().toLocalFile()).fileName(),
             QString("prambus.html"));
    w.GetHelpWindow()->close();
    about->trigger();

    QTest::keyClick(d, Qt::Key_Escape);
    QVERIFY(!d->isVisible());
    QVERIFY(w.windowFlags() & Qt::WindowStaysOnTopHint);  // on top again
    about->trigger();
    QVERIFY(d->isVisible());
    d->OkButton()->click();
    QVERIFY(!d->isVisible());
    // A click on another window takes the activation and hides it too.
    QTest::qWait(100);
    about->trigger();
    QTRY_VERIFY(d->isActiveWindow());
    w.activateWindow();
    QTRY_VERIFY(!d->isVisible());
  }
};

QTEST_MAIN(AssociationsGuiTest)
#include "associations_gui_test.moc"
