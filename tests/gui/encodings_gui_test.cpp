// The encoding menu and the recode dialog on the real main window.
#include <QTemporaryDir>
#include <QtTest>
#include <optional>

#include "gui_files.h"
#include "main_window.h"
#include "recode_dialog.h"
#include "scripted_prompts.h"
#include "settings/settings.h"

using namespace prambus;

namespace {
std::string Text(ViewBase* v) {
  std::string s;
  for (int r = 0; r <= v->LastRow(); ++r) s += v->GetRow(r);
  return s;
}

// Marks the row of a recode list that shows this caption.
void Choose(QListWidget* list, const QString& caption) {
  const QList<QListWidgetItem*> found = list->findItems(caption, Qt::MatchExactly);
  QVERIFY(found.size() == 1);
  list->setCurrentItem(found[0]);
}

std::string LoadedId(const QString& path) {
  return LoadedEncodingId(path.toStdString());
}
}  // namespace

class EncodingsGuiTest : public QObject {
  Q_OBJECT
  std::optional<QTemporaryDir> dir_;
  QString Path(const QString& n) const { return dir_->filePath(n); }

 private slots:
  void init() {
    Cfg() = Settings{};
    dir_.emplace();
  }

  void loadedEncodingsAreListedChosenCycledAndKept() {
    // A table that swaps the letters a and b.
    QByteArray enc;
    for (int i = 0; i < 256; ++i)
      enc += QByteArray::number(i == 'a' ? 'b' : i == 'b' ? 'a' : i) + "\n";
    WriteAll(Path("swap.enc"), enc);
    WriteAll(Path("doc.txt"), "abc");
    {
      MainWindow w({"prambus", Path("doc.txt")}, dir_->path());
      w.show();
      QVERIFY(QTest::qWaitForWindowExposed(&w));
      QVERIFY(w.AddLoadedEncoding(Path("swap.enc"), "Обмен"));
      QCOMPARE(w.EncodingActions().size(), size_t(8));
      QCOMPARE(w.EncodingActions()[7]->text(), QString("Обмен"));
      w.SelectEncoding(LoadedId(Path("swap.enc")));
      QCOMPARE(Text(w.View()), std::string("bac"));
      QVERIFY(w.StatusPanelText(5).endsWith("Обмен"));
      w.KeyDown(Qt::Key_F8, Qt::NoModifier);  // after the last loaded encoding: Windows
      QVERIFY(w.EncodingActions()[0]->isChecked());
      QCOMPARE(Text(w.View()), std::string("abc"));
      w.KeyDown(Qt::Key_F8, Qt::NoModifier);
      QVERIFY(w.EncodingActions()[1]->isChecked());
      QVERIFY(!w.AddLoadedEncoding(Path("missing.enc"), "нет"));
      w.Exit();
    }
    MainWindow again({"prambus"}, dir_->path());
    again.show();
    QVERIFY(QTest::qWaitForWindowExposed(&again));
    QCOMPARE(again.EncodingActions()[7]->text(), QString("Обмен"));
    // Its file gone: choosing it removes it without a word.
    QFile::remove(Path("swap.enc"));
    QVERIFY(!again.SelectEncoding(LoadedId(Path("swap.enc"))));
    QCOMPARE(again.EncodingActions().size(), size_t(7));
  }

  // A table that shows several bytes alike (here KOI8-R's box drawing, which
  // has no Windows-1251 letter, as '?') would save them all as one byte: it is
  // refused for display, and the bytes stay as they were read. The recode
  // dialog still takes it.
  void aTableThatShowsBytesAlikeIsRefusedForDisplay() {
    QByteArray enc;
    for (int i = 0; i < 256; ++i)
      enc += QByteArray::number(i >= 0x80 && i <= 0x9F ? '?' : i) + "\n";
    WriteAll(Path("koi.enc"), enc);
    WriteAll(Path("box.txt"), "\x80\x81\x82\x9F");
    MainWindow w({"prambus", Path("box.txt")}, dir_->path());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    ScriptedPrompts& prompts = ScriptedPrompts::InstallOn(w);
    QVERIFY(w.AddLoadedEncoding(Path("koi.enc"), "KOI"));
    w.SelectEncoding(encoding_id::kDos);
    QVERIFY(!w.SelectEncoding(LoadedId(Path("koi.enc"))));
    QCOMPARE(prompts.notes,
             QStringList{"Эту кодировку можно выбрать только для перекодировки: в ней разные коды "
                         "выглядят одинаково, и при сохранении файл изменился бы."});
    QVERIFY(w.EncodingActions()[1]->isChecked());  // DOS stays
    QVERIFY(!w.EncodingActions()[7]->isChecked());
    // From the last built-in entry (UTF-8) F8 passes over it to Windows.
    QVERIFY(w.SelectEncoding(encoding_id::kUtf8));
    w.KeyDown(Qt::Key_F8, Qt::NoModifier);
    QVERIFY(w.EncodingActions()[0]->isChecked());
    QCOMPARE(prompts.notes.size(), 2);
    QCOMPARE(Text(w.View()), std::string("\x80\x81\x82\x9F"));
    QTest::keyClick(w.centralWidget(), Qt::Key_End);
    QTest::keyClicks(w.centralWidget(), "x");
    QVERIFY(w.Save());
    QCOMPARE(ReadAll(Path("box.txt")), QByteArray("\x80\x81\x82\x9Fx"));
    // As a recode target it turns every character it lacks into '?' (which
    // this table writes as its last '?', 9F).
    prompts.recode = [](RecodeDialog& d) {
      Choose(d.sourceList, "Windows");
      Choose(d.targetList, "KOI");
      return 1;
    };
    prompts.answers = {1001};  // "Перекодировать", told four would become '?'
    w.RecodeCommand();
    QCOMPARE(prompts.questions.size(), 1);
    QVERIFY(prompts.questions[0].contains("появятся 4 знака «?»"));
    QCOMPARE(Text(w.View()), std::string("\x9F\x9F\x9F\x9Fx"));
  }

  // A recode that would put '?' in place of characters asks first, with the
  // count; "Отмена" leaves the document as it was, in both views.
  void aRecodeThatLosesCharactersAsksFirst() {
    const QByteArray mixed =
        "na\xC3\xAFve caf\xC3\xA9 \xE2\x80\x94 \xE6\x97\xA5\xE6\x9C\xAC "
        "\xF0\x9F\x98\x80 \xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82?\n";
    WriteAll(Path("mixed.txt"), mixed);
    MainWindow w({"prambus", Path("mixed.txt")}, dir_->path());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    ScriptedPrompts& prompts = ScriptedPrompts::InstallOn(w);
    prompts.recode = [](RecodeDialog& d) {
      Choose(d.sourceList, "UTF-8");
      Choose(d.targetList, "Windows");
      return 1;
    };
    for (const bool hex : {false, true}) {
      if (hex) w.KeyDown(Qt::Key_F6, Qt::NoModifier);
      prompts.answers = {1000};  // "Отмена", the default: Enter destroys nothing
      w.Actions().recode->trigger();
      QCOMPARE(prompts.questions.size(), hex ? 2 : 1);
      QCOMPARE(prompts.buttons.back(), (QStringList{"Отмена", "Перекодировать"}));
      QCOMPARE(prompts.questions.back(),
               QString("Перекодировка: Перекодировка сохранит не всё: на месте символов, "
                       "которых в новой кодировке нет, появятся 6 знаков «?». Перекодировать "
                       "всё равно?"));
      QVERIFY(!w.Modified());
      QVERIFY(w.Save());
      QCOMPARE(ReadAll(Path("mixed.txt")), mixed);
    }
    prompts.answers = {1001};
    w.Actions().recode->trigger();
    QVERIFY(w.Modified());
    QVERIFY(w.Save());
    QCOMPARE(ReadAll(Path("mixed.txt")),
             QByteArray("na?ve caf? \x97 ?? ?? \xCF\xF0\xE8\xE2\xE5\xF2?\n"));
    // Nothing lost, nothing asked: back from Windows into UTF-8.
    prompts.recode = [](RecodeDialog& d) {
      Choose(d.sourceList, "Windows");
      Choose(d.targetList, "UTF-8");
      return 1;
    };
    w.Actions().recode->trigger();
    QCOMPARE(prompts.questions.size(), 3);
    QCOMPARE(prompts.unexpectedQuestions, 0);
  }

  void recodeDialogPreselectsAndConverts() {
    WriteAll(Path("qp.txt"), "=C0=C1");
    MainWindow w({"prambus", Path("qp.txt")}, dir_->path());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    ScriptedPrompts& prompts = ScriptedPrompts::InstallOn(w);
    int source = -1, target = -1;
    prompts.recode = [&](RecodeDialog& d) {
      source = d.Source();
      target = d.Target();
      return 2;  // cancelled: nothing changes
    };
    w.RecodeCommand();
    QCOMPARE(source, 0);
    QCOMPARE(target, 1);
    QVERIFY(!w.Modified());
    w.SelectEncoding(encoding_id::kDos);  // DOS on the left, Windows on the right
    w.RecodeCommand();
    QCOMPARE(source, 1);
    QCOMPARE(target, 0);
    w.SelectEncoding(encoding_id::kWindows);
    prompts.recode = [](RecodeDialog& d) {
      Choose(d.sourceList, "Quoted Printable");
      Choose(d.targetList, "Windows");
      return 1;
    };
    w.RecodeCommand();
    QCOMPARE(Text(w.View()), std::string("\xC0\xC1"));
    QVERIFY(w.Modified());
    QVERIFY(!w.Actions().undo->isEnabled());
    QVERIFY(w.Save());
    QCOMPARE(ReadAll(Path("qp.txt")), QByteArray("\xC0\xC1"));
  }
};

QTEST_MAIN(EncodingsGuiTest)
#include "encodings_gui_test.moc"
