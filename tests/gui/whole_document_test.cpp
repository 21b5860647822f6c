// Every command that reads or writes the whole document, issued while a
// file of several megabytes is still loading, waits for the whole document
// first: the file on disk is afterwards either untouched or the whole,
// correct document. This holds for a plug-in as well, whose callbacks run
// while the window's event loop cannot (a file it opened, a switch of view
// it asked for). Closing during a load stops it instead, and asks about the
// document given back (ending_during_load_test).
#include <QCryptographicHash>
#include <QDir>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <optional>

#include "checksum_window.h"
#include "find_dialog.h"
#include "go_to_dialog.h"
#include "gui_files.h"
#include "main_window.h"
#include "plugin_host.h"
#include "prambus/extension.h"
#include "recode_dialog.h"
#include "replace_dialog.h"
#include "scripted_plugin.h"
#include "scripted_prompts.h"
#include "settings/settings.h"
#include "views/hex_view.h"

using namespace prambus;
using scripted::Callback;
using scripted::script;
using scripted::UpperCase;

namespace {

int walkedLines = 0;
void CountLine(int32_t, const char*, int32_t*) {
  ++walkedLines;
}

constexpr int kLines = 200000;  // about 6 MB

QByteArray Line(int i) {
  return "line " + QByteArray::number(i).rightJustified(6, '0') +
         " words and \xF1\xEB\xEE\xE2\xE0\r\n";
}

}  // namespace

class WholeDocumentTest : public QObject {
  Q_OBJECT
  std::optional<QTemporaryDir> dir_;
  QTemporaryDir extensions_;  // the scripted plug-in alone
  QByteArray big_;
  ScriptedPrompts* prompts_ = nullptr;
  QString Path(const QString& name) const { return dir_->filePath(name); }

  std::unique_ptr<MainWindow> Window(const QString& file = {}) {
    QStringList args{"prambus"};
    if (!file.isEmpty()) args << file;
    auto w = std::make_unique<MainWindow>(args, dir_->path());
    w->SetExtensionFolders({extensions_.path().toStdString()});
    prompts_ = &ScriptedPrompts::InstallOn(*w);
    w->show();
    w->activateWindow();
    if (!QTest::qWaitForWindowExposed(w.get())) return nullptr;
    return w;
  }
  // An untitled window that has begun loading the big file and shows its
  // first screen; the rest would come from the event loop. In the hex view
  // when the untitled document was in it.
  std::unique_ptr<MainWindow> Loading(bool hex = false) {
    auto w = Window();
    if (!w) return nullptr;
    if (hex) w->Actions().viewKinds[1]->trigger();
    prompts_->openNames = {Path("big.txt")};
    w->Actions().open->trigger();
    return w;
  }
  static void RunPlugin(MainWindow& w, std::function<void(prambus_get_function)> body) {
    script = std::move(body);
    w.Plugins().Items().front()->trigger();
  }
  static QByteArray Text(MainWindow& w) {
    QByteArray out;
    for (int r = 0; r <= w.View()->LastRow(); ++r) {
      const std::string_view row = w.View()->GetRow(r);
      out += QByteArray(row.data(), static_cast<qsizetype>(row.size()));
    }
    return out;
  }

 private slots:
  void initTestCase() {
    for (int i = 0; i < kLines; ++i) big_ += Line(i);
    QVERIFY(big_.size() > qsizetype(4 * MainWindow::kLoadSliceBytes));
    QVERIFY(scripted::Install(extensions_.path()));
  }
  void init() {
    Cfg() = Settings{};
    dir_.emplace();
    script = nullptr;
    WriteAll(Path("big.txt"), big_);
  }

  // A plug-in opens a large file and saves it at once: the whole document
  // is written, and the callbacks after the open see all of it.
  void aPluginThatOpensALargeFileSeesAndSavesItWhole() {
    auto w = Window();
    QVERIFY(w);
    const QByteArray path = QFile::encodeName(Path("big.txt"));
    int32_t size = -1, opened = 0, saved = 0;
    RunPlugin(*w, [&](prambus_get_function get) {
      opened = Callback<prambus_open_fn>(get, PRAMBUS_OPEN)(static_cast<int32_t>(path.size()),
                                                            path.constData());
      saved = Callback<prambus_save_fn>(get, PRAMBUS_SAVE)(0, nullptr);
      Callback<prambus_size_fn>(get, PRAMBUS_SIZE)(&size);
    });
    QCOMPARE(opened, 1);
    QCOMPARE(saved, 1);
    QVERIFY(!w->Loading());
    QCOMPARE(size, static_cast<int32_t>(big_.size()));
    QCOMPARE(ReadAll(Path("big.txt")), big_);
    QVERIFY(!w->Modified());

    // Opened again by the plug-in: a walk sees every line, a rewrite
    // changes every line, and the save writes them all.
    walkedLines = 0;
    int32_t rewritten = 0;
    RunPlugin(*w, [&](prambus_get_function get) {
      Callback<prambus_open_fn>(get, PRAMBUS_OPEN)(static_cast<int32_t>(path.size()),
                                                   path.constData());
      Callback<prambus_walk_lines_fn>(get, PRAMBUS_WALK_LINES)(CountLine);
      rewritten = Callback<prambus_rewrite_lines_fn>(get, PRAMBUS_REWRITE_LINES)(UpperCase);
      saved = Callback<prambus_save_fn>(get, PRAMBUS_SAVE)(0, nullptr);
    });
    QCOMPARE(walkedLines, w->View()->RowCount());
    QVERIFY(walkedLines >= kLines);
    QCOMPARE(rewritten, 1);
    QCOMPARE(saved, 1);
    QCOMPARE(ReadAll(Path("big.txt")), big_.toUpper());
  }

  // A plug-in presses F6 on a large hex document (the text view then loads
  // in steps) and saves: the file keeps every byte.
  void aPluginsSwitchOfViewIsWholeBeforeItsSave() {
    auto w = Window(Path("big.txt"));
    QVERIFY(w);
    QTRY_VERIFY_WITH_TIMEOUT(!w->Loading(), 60000);
    w->Actions().viewKinds[1]->trigger();
    QCOMPARE(w->ViewKind(), 2);
    int32_t saved = 0;
    RunPlugin(*w, [&](prambus_get_function get) {
      Callback<prambus_key_down_fn>(get, PRAMBUS_KEY_DOWN)(PRAMBUS_VK_F1 + 5, 0);  // F6
      saved = Callback<prambus_save_fn>(get, PRAMBUS_SAVE)(0, nullptr);
    });
    QCOMPARE(saved, 1);
    QCOMPARE(w->ViewKind(), 1);
    QVERIFY(!w->Loading());
    QCOMPARE(ReadAll(Path("big.txt")), big_);
    QCOMPARE(Text(*w), big_);
  }

  // Each command issued during the load: the document is whole once it has
  // run, and what it wrote is the whole, correct document.
  void everyWholeDocumentCommandWaitsForTheLoad() {
    QByteArray replaced = big_;
    replaced.replace("words", "WORDS");
    struct Row {
      const char* name;
      std::function<void(MainWindow&)> command;
      QString written;      // the file the command writes, if any
      QByteArray expected;  // its bytes
      bool hex = false;     // the file loads in the hex view
    };
    const std::vector<Row> rows = {
        {"Сохранить", [](MainWindow& w) { w.Actions().save->trigger(); }, "big.txt", big_},
        {"Сохранить как...",
         [this](MainWindow& w) {
           prompts_->saveNames = {Path("copy.txt")};
           w.Actions().saveAs->trigger();
         },
         "copy.txt", big_},
        {"Ctrl+S",
         [](MainWindow& w) { QTest::keyClick(w.centralWidget(), Qt::Key_S, Qt::ControlModifier); },
         "big.txt", big_},
        {"Заменить всё, then Сохранить как...",
         [this](MainWindow& w) {
           w.Actions().replace->trigger();
           w.GetReplaceDialog()->findEdit->setText("words");
           w.GetReplaceDialog()->replaceEdit->setText("WORDS");
           w.GetReplaceDialog()->ReplaceAllClicked();
           w.GetReplaceDialog()->hide();
           prompts_->saveNames = {Path("replaced.txt")};
           w.Actions().saveAs->trigger();
         },
         "replaced.txt", replaced},
        {"Перекодировка, then Сохранить как...",
         [this](MainWindow& w) {
           prompts_->recode = [](RecodeDialog& d) {
             d.sourceList->setCurrentRow(0);  // Windows
             d.targetList->setCurrentRow(0);  // to Windows: nothing to convert
             return 1;
           };
           w.Actions().recode->trigger();
           prompts_->saveNames = {Path("recoded.txt")};
           w.Actions().saveAs->trigger();
         },
         "recoded.txt", big_},
        {"F6, then Сохранить как...",
         [this](MainWindow& w) {
           QTest::keyClick(w.centralWidget(), Qt::Key_F6);
           QCOMPARE(w.ViewKind(), 2);
           prompts_->saveNames = {Path("hex.txt")};
           w.Actions().saveAs->trigger();
         },
         "hex.txt", big_},
        {"Найти...",
         [](MainWindow& w) {
           w.Actions().find->trigger();
           w.GetFindDialog()->phraseEdit->setText("line 199999");
           w.GetFindDialog()->FindNextClicked();
           QCOMPARE(w.View()->CursorRow(), kLines - 1);
           w.GetFindDialog()->hide();
         },
         {},
         {}},
        {"Перейти... (Ctrl+G) to the last line",
         [this](MainWindow& w) {
           prompts_->goTo = [](GoToDialog& d) {
             d.field->setText(QString::number(kLines));
             d.Submit(false);
             return d.result();
           };
           QTest::keyClick(w.centralWidget(), Qt::Key_G, Qt::ControlModifier);
           QCOMPARE(w.View()->CursorRow(), kLines - 1);
         },
         {},
         {}},
        {"Перейти... to the last offset in the hex view",
         [this](MainWindow& w) {
           prompts_->goTo = [this](GoToDialog& d) {
             d.field->setText("#" + QString::number(big_.size() - 1));
             d.Submit(false);
             return d.result();
           };
           w.Actions().goTo->trigger();
           QCOMPARE(qsizetype(dynamic_cast<HexView&>(*w.View()).CursorOffset()), big_.size() - 1);
         },
         {},
         {},
         true},
        {"Контрольные суммы...",
         [this](MainWindow& w) {
           QString sha256;
           prompts_->checksums = [&](ChecksumWindow& c) {
             c.RunToEnd();
             sha256 = c.Value(3);
           };
           w.Actions().checksums->trigger();
           QCOMPARE(sha256, QCryptographicHash::hash(big_, QCryptographicHash::Sha256).toHex());
         },
         {},
         {}},
        {"Найти... a number in the hex view",
         [this](MainWindow& w) {
           // The bytes "line 199" as a 64-bit integer: first met near the end.
           w.Actions().find->trigger();
           FindDialog* f = w.GetFindDialog();
           f->numberCheck->setChecked(true);
           f->typeBox->setCurrentIndex(static_cast<int>(NumberType::kS64));
           f->orderBox->setCurrentIndex(0);
           f->phraseEdit->setText("4123380949044849004");
           f->FindNextClicked();
           f->hide();
           QCOMPARE(qsizetype(dynamic_cast<HexView&>(*w.View()).CursorOffset()),
                    big_.indexOf("line 199"));
         },
         {},
         {},
         true},
        {"a plug-in's rewrite and save",
         [](MainWindow& w) {
           RunPlugin(w, [&](prambus_get_function get) {
             Callback<prambus_rewrite_lines_fn>(get, PRAMBUS_REWRITE_LINES)(UpperCase);
             Callback<prambus_save_fn>(get, PRAMBUS_SAVE)(0, nullptr);
           });
         },
         "big.txt", big_.toUpper()},
        {"Информация о документе",
         [](MainWindow& w) { w.Actions().documentInfo->trigger(); },
         {},
         {}},
        {"Печать...",
         [this](MainWindow& w) {
           prompts_->printer = [this](QPrinter& printer, bool) {
             printer.setOutputFormat(QPrinter::PdfFormat);
             printer.setOutputFileName(Path("out.pdf"));
             printer.setPrintRange(QPrinter::PageRange);
             printer.setFromTo(1, 1);
             return true;
           };
           w.Actions().print->trigger();
         },
         {},
         {}},
        {"a plug-in's size",
         [](MainWindow& w) {
           int32_t size = -1;
           RunPlugin(w, [&](prambus_get_function get) {
             Callback<prambus_size_fn>(get, PRAMBUS_SIZE)(&size);
           });
           QCOMPARE(size, static_cast<int32_t>(kLines * Line(0).size()));
         },
         {},
         {}},
    };
    for (const Row& row : rows) {
      WriteAll(Path("big.txt"), big_);
      auto w = Loading(row.hex);
      QVERIFY2(w, row.name);
      QVERIFY2(w->Loading(), row.name);
      QVERIFY2(w->ViewKind() == (row.hex ? 2 : 1), row.name);
      row.command(*w);
      QVERIFY2(!w->Loading(), row.name);
      QVERIFY2(w->View()->GetTextLength() == big_.size(), row.name);
      if (row.written != "big.txt") QVERIFY2(ReadAll(Path("big.txt")) == big_, row.name);
      if (!row.written.isEmpty()) QVERIFY2(ReadAll(Path(row.written)) == row.expected, row.name);
      w.reset();
    }
  }

  // A command that comes up while another waits for the load (here from a
  // timer) does not run in the middle of that wait: it is refused, and the
  // user is told once the wait is over.
  void aCommandReachedInsideTheWaitIsRefusedWithANote() {
    auto w = Loading();
    QVERIFY(w);
    QFile::remove(Path("big.txt"));  // a save would write it anew
    MainWindow* window = w.get();
    QTimer::singleShot(0, window, [window] { window->Actions().save->trigger(); });
    w->Actions().documentInfo->trigger();  // waits for the load, serving the timer
    QVERIFY(!w->Loading());
    QVERIFY(!QFile::exists(Path("big.txt")));
    QTRY_COMPARE(prompts_->notes,
                 QStringList{"Документ ещё загружался, а команда работает со всем документом, "
                             "поэтому я её не выполнил. Повторите её, когда загрузка закончится."});
  }
};

QTEST_MAIN(WholeDocumentTest)
#include "whole_document_test.moc"
