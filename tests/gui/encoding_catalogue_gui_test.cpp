// The encodings of the catalogue in the real window: the menu, F8, the
// recode lists, the status bar, what a file opens in and what data.dat keeps.
#include <QTemporaryDir>
#include <QtTest>
#include <optional>

#include "encodings/code_tables.h"
#include "gui_files.h"
#include "main_window.h"
#include "recode_dialog.h"
#include "scripted_prompts.h"
#include "settings/settings.h"
#include "shown_window.h"
#include "window_reading.h"

using namespace prambus;

namespace {

// A Russian pangram, in KOI8-R and in Windows-1251, repeated to a length
// that leaves detection no doubt.
QByteArray Repeated(const char* line) {
  return QByteArray(line).repeated(4);
}
const char kKoi8rLine[] =
    "\xf3\xdf\xc5\xdb\xd8 \xd6\xc5 \xc5\xdd\xa3 \xdc\xd4\xc9\xc8 \xcd\xd1\xc7\xcb\xc9\xc8 "
    "\xc6\xd2\xc1\xce\xc3\xd5\xda\xd3\xcb\xc9\xc8 \xc2\xd5\xcc\xcf\xcb, \xc4\xc1 "
    "\xd7\xd9\xd0\xc5\xca "
    "\xde\xc1\xc0.\n";
const char kWindowsLine[] =
    "\xd1\xfa\xe5\xf8\xfc \xe6\xe5 \xe5\xf9\xb8 \xfd\xf2\xe8\xf5 \xec\xff\xe3\xea\xe8\xf5 "
    "\xf4\xf0\xe0\xed\xf6\xf3\xe7\xf1\xea\xe8\xf5 \xe1\xf3\xeb\xee\xea, \xe4\xe0 "
    "\xe2\xfb\xef\xe5\xe9 "
    "\xf7\xe0\xfe.\n";
// The same in UTF-8.
const char kUtf8Line[] =
    "\xd0\xa1\xd1\x8a\xd0\xb5\xd1\x88\xd1\x8c \xd0\xb6\xd0\xb5 \xd0\xb5\xd1\x89\xd1\x91 "
    "\xd1\x8d\xd1\x82\xd0\xb8\xd1\x85 \xd0\xbc\xd1\x8f\xd0\xb3\xd0\xba\xd0\xb8\xd1\x85.\n";

// The text view holds the document as it shows it: Windows-1251 characters,
// each byte read through the display table.
QByteArray Shown(const MainWindow& w) {
  return QByteArray::fromStdString(DocumentText(w.View()));
}

QString EncodingPanel(const MainWindow& w) {
  return w.StatusPanelText(5);
}

// Marks the row of a recode list that shows this caption.
void Choose(QListWidget* list, const QString& caption) {
  const QList<QListWidgetItem*> found = list->findItems(caption, Qt::MatchExactly);
  QVERIFY(found.size() == 1);
  list->setCurrentItem(found[0]);
}

QStringList Rows(const QListWidget* list) {
  QStringList out;
  for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
  return out;
}

QStringList Captions(const std::vector<const EncodingEntry*>& entries) {
  QStringList out;
  for (const EncodingEntry* e : entries) out << QString::fromStdString(e->caption);
  return out;
}

// data.dat's strings are a 32-bit big-endian length and the bytes: every
// string that begins with `from` gets `to` in its place.
QByteArray ReplacePrefix(const QByteArray& data, const QByteArray& from, const QByteArray& to) {
  QByteArray out;
  qsizetype i = 0;
  while (i < data.size()) {
    const qsizetype at = data.indexOf(from, i);
    if (at < 4) {
      out += data.mid(i);
      break;
    }
    const auto* p = reinterpret_cast<const unsigned char*>(data.constData()) + at - 4;
    const quint32 length = (quint32{p[0]} << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
    out += data.mid(i, at - 4 - i);
    const quint32 longer = length - from.size() + to.size();
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>(longer >> shift);
    out += to;
    i = at + from.size();
  }
  return out;
}

}  // namespace

class EncodingCatalogueGuiTest : public QObject {
  Q_OBJECT
  std::optional<QTemporaryDir> dir_;
  QString Path(const QString& n) const { return dir_->filePath(n); }

 private slots:
  void init() {
    Cfg() = Settings{};
    dir_.emplace();
  }

  // A KOI8-R file opens in KOI8-R: the status bar and the menu say so, and
  // the view shows the Russian letters. Saving writes the bytes as read.
  void aKoi8rFileOpensReadable() {
    WriteAll(Path("koi.txt"), Repeated(kKoi8rLine));
    auto w = ShowWindow(dir_->path(), Path("koi.txt"));
    QVERIFY(w && w->EnsureWholeDocument());
    QCOMPARE(EncodingPanel(*w), QString("Кодировка - KOI8-R"));
    QCOMPARE(CheckedEncodings(*w), QStringList{"KOI8-R"});
    QCOMPARE(Shown(*w), Repeated(kWindowsLine));
    QTest::keyClick(w->centralWidget(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(w->centralWidget(), "x");
    QVERIFY(w->Save());
    QCOMPARE(ReadAll(Path("koi.txt")), Repeated(kKoi8rLine) + "x");
  }

  // A UTF-8 file is named so and shown as UTF-8 characters, its item marked.
  void aUtf8FileIsDetected() {
    WriteAll(Path("utf8.txt"), Repeated(kUtf8Line));
    auto w = ShowWindow(dir_->path(), Path("utf8.txt"));
    QVERIFY(w && w->EnsureWholeDocument());
    QCOMPARE(EncodingPanel(*w), QString("Кодировка - UTF-8"));
    QCOMPARE(CheckedEncodings(*w), QStringList{"UTF-8"});
    QVERIFY(w->ViewShowsUtf8());
    QCOMPARE(Shown(*w), Repeated(kUtf8Line));
    // The recode dialog offers UTF-8 into Windows.
    ScriptedPrompts& prompts = ScriptedPrompts::InstallOn(*w);
    QString source, target;
    prompts.recode = [&](RecodeDialog& d) {
      source = d.sourceList->currentItem()->text();
      target = d.targetList->currentItem()->text();
      return 2;
    };
    w->RecodeCommand();
    QCOMPARE(source, QString("UTF-8"));
    QCOMPARE(target, QString("Windows"));
    // Recoded into Windows, the document is named and shown in Windows: its
    // text reads as before, and the next recode starts from Windows.
    prompts.recode = [](RecodeDialog&) { return 1; };
    w->RecodeCommand();
    QCOMPARE(EncodingPanel(*w), QString("Кодировка - Windows"));
    QCOMPARE(CheckedEncodings(*w), QStringList{"Windows"});
    QVERIFY(!w->ViewShowsUtf8());
    const QByteArray windows = (QByteArray(kWindowsLine).left(24) + ".\n").repeated(4);
    QCOMPARE(Shown(*w), windows);
    QVERIFY(w->Save());
    QCOMPARE(ReadAll(Path("utf8.txt")), windows);
    // ASCII and binary files get no guess: they open in the last encoding
    // chosen for display, which UTF-8 is not.
    WriteAll(Path("ascii.txt"), "plain text\n");
    WriteAll(Path("binary.bin"), QByteArray("\x7f"
                                            "ELF\x02\x01\x01\0\0\0\xc0\xe0\xf0",
                                            13));
    prompts.openNames = {Path("ascii.txt")};
    w->OpenWithDialog();
    QCOMPARE(w->FileName(), Path("ascii.txt"));
    QCOMPARE(CheckedEncodings(*w), QStringList{"Windows"});
    EncodingItem(*w, "DOS")->trigger();
    prompts.openNames = {Path("binary.bin")};
    w->OpenWithDialog();
    QCOMPARE(w->FileName(), Path("binary.bin"));
    QCOMPARE(CheckedEncodings(*w), QStringList{"DOS"});
  }

  // A UTF-16 file with its byte-order mark, recoded into Windows as offered:
  // the mark is no character (no '?', no question about losing one), and the
  // document is named Windows from then on.
  void aUtf16FileRecodedIntoWindowsIsNamedWindows() {
    WriteAll(Path("u16.txt"), QByteArray("\xff\xfe\x1f\x04\x40\x04\x38\x04\x32\x04\x35\x04\x42\x04"
                                         "\r\0\n\0",
                                         18));
    auto w = ShowWindow(dir_->path(), Path("u16.txt"));
    QVERIFY(w && w->EnsureWholeDocument());
    QCOMPARE(EncodingPanel(*w), QString("Кодировка - Unicode (UTF-16)"));
    ScriptedPrompts& prompts = ScriptedPrompts::InstallOn(*w);
    QString preselected;
    prompts.recode = [&](RecodeDialog& d) {
      preselected =
          d.sourceList->currentItem()->text() + " ==> " + d.targetList->currentItem()->text();
      return 1;
    };
    w->RecodeCommand();
    QCOMPARE(preselected, QString("Unicode (UTF-16) ==> Windows"));
    QVERIFY(prompts.questions.isEmpty());
    QCOMPARE(EncodingPanel(*w), QString("Кодировка - Windows"));
    QVERIFY(w->Save());
    QCOMPARE(ReadAll(Path("u16.txt")), QByteArray("\xcf\xf0\xe8\xe2\xe5\xf2\r\n"));
  }

  // F8 walks the menu's round, loaded encodings after the built-in ones,
  // and comes back to the start; the status bar follows each step.
  void f8WalksTheCatalogue() {
    WriteAll(Path("swap.enc"), SwapAbEncoding());
    WriteAll(Path("doc.txt"), "abc");
    auto w = ShowWindow(dir_->path(), Path("doc.txt"));
    QVERIFY(w);
    QVERIFY(w->AddLoadedEncoding(Path("swap.enc"), "Обмен"));
    const QStringList round = {"DOS",          "KOI8-R", "KOI8-U", "ISO-8859-5",
                               "Mac Cyrillic", "UTF-8",  "Обмен",  "Windows"};
    QStringList items;
    for (const QAction* item : w->EncodingActions()) items << item->text();
    QCOMPARE(items, QStringList{"Windows"} + round.mid(0, 7));
    QCOMPARE(CheckedEncodings(*w), QStringList{"Windows"});
    for (const QString& next : round) {
      w->KeyDown(Qt::Key_F8, Qt::NoModifier);
      QCOMPARE(CheckedEncodings(*w), QStringList{next});
      QCOMPARE(EncodingPanel(*w), "Кодировка - " + next);
    }
  }

  // The recode lists are the catalogue's; KOI8-R into Windows gives the
  // Windows-1251 bytes, and the view, still in KOI8-R, is read through it.
  void recodeListsComeFromTheCatalogue() {
    WriteAll(Path("swap.enc"), SwapAbEncoding());
    WriteAll(Path("koi.txt"), Repeated(kKoi8rLine));
    auto w = ShowWindow(dir_->path(), Path("koi.txt"));
    QVERIFY(w && w->EnsureWholeDocument());
    QVERIFY(w->AddLoadedEncoding(Path("swap.enc"), "Обмен"));
    ScriptedPrompts& prompts = ScriptedPrompts::InstallOn(*w);
    QStringList sources, targets;
    QString preselected;
    prompts.recode = [&](RecodeDialog& d) {
      sources = Rows(d.sourceList);
      targets = Rows(d.targetList);
      preselected =
          d.sourceList->currentItem()->text() + " ==> " + d.targetList->currentItem()->text();
      Choose(d.sourceList, "KOI8-R");
      Choose(d.targetList, "Windows");
      return 1;
    };
    w->Actions().recode->trigger();
    QCOMPARE(sources, Captions(w->Encodings().RecodeEntries(false)));
    QCOMPARE(targets, Captions(w->Encodings().RecodeEntries(true)));
    QCOMPARE(sources.mid(0, 6),
             (QStringList{"Windows", "DOS", "KOI8-R", "KOI8-U", "ISO-8859-5", "Mac Cyrillic"}));
    QVERIFY(sources.contains("UTF-8") && sources.contains("Quoted Printable"));
    QCOMPARE(sources.last(), QString("Обмен"));
    QCOMPARE(preselected, QString("KOI8-R ==> Windows"));
    QVERIFY(w->Save());
    QCOMPARE(ReadAll(Path("koi.txt")), Repeated(kWindowsLine));
  }

  // What the user chose for a file wins over detection: a pinned record's
  // encoding, then the one its recent entry remembers. With detection off
  // every file opens in the last encoding chosen, as before.
  void aChosenEncodingWinsOverDetection() {
    WriteAll(Path("koi.txt"), Repeated(kKoi8rLine));
    WriteAll(Path("other.txt"), "other");
    auto w = ShowWindow(dir_->path(), Path("other.txt"));
    QVERIFY(w);
    WindowAppearance pinned = w->State().defaults;
    pinned.path = Path("koi.txt").toStdString();
    pinned.encodingId = std::string(encoding_id::kDos);
    w->State().pinned = {pinned};
    QVERIFY(w->OpenPath(Path("koi.txt").toStdString()));
    QCOMPARE(CheckedEncodings(*w), QStringList{"DOS"});
    w->State().pinned.clear();

    // Remembered as ISO-8859-5 when it left the window for another file.
    QVERIFY(w->OpenPath(Path("koi.txt").toStdString()));
    QCOMPARE(CheckedEncodings(*w), QStringList{"KOI8-R"});
    EncodingItem(*w, "ISO-8859-5")->trigger();
    ScriptedPrompts& prompts = ScriptedPrompts::InstallOn(*w);
    prompts.openNames = {Path("other.txt")};
    w->OpenWithDialog();
    QCOMPARE(w->FileName(), Path("other.txt"));
    QCOMPARE(CheckedEncodings(*w), QStringList{"ISO-8859-5"});  // the default record's
    EncodingItem(*w, "Windows")->trigger();
    w->OpenRecentItem(0);
    QCOMPARE(w->FileName(), Path("koi.txt"));
    QCOMPARE(CheckedEncodings(*w), QStringList{"ISO-8859-5"});

    Cfg().DetectEncoding = false;
    prompts.openNames = {Path("other.txt")};
    w->OpenWithDialog();
    w->State().recent.assign(5, RecentEntry{});
    EncodingItem(*w, "Windows")->trigger();
    prompts.openNames = {Path("koi.txt")};
    w->OpenWithDialog();
    QCOMPARE(w->FileName(), Path("koi.txt"));
    QCOMPARE(CheckedEncodings(*w), QStringList{"Windows"});
    QCOMPARE(Shown(*w), Repeated(kKoi8rLine));
  }

  // Every display encoding in turn, then a save: not one byte changes.
  void switchingEveryEncodingChangesNoByte() {
    WriteAll(Path("swap.enc"), SwapAbEncoding());
    QByteArray all;
    for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
    WriteAll(Path("all.bin"), all);
    for (const int key : {0, int(Qt::Key_F6)}) {
      auto w = ShowWindow(dir_->path(), Path("all.bin"));
      QVERIFY(w && w->EnsureWholeDocument());
      if (key) QTest::keyClick(w->centralWidget(), Qt::Key_F6);
      QVERIFY(w->AddLoadedEncoding(Path("swap.enc"), "Обмен"));
      for (size_t i = 0; i < w->EncodingActions().size(); ++i) {
        w->EncodingActions()[i]->trigger();
        QCOMPARE(CheckedEncodings(*w), QStringList{w->EncodingActions()[i]->text()});
      }
      QVERIFY(w->Save());
      QCOMPARE(ReadAll(Path("all.bin")), all);
    }
  }

  // A data.dat the window wrote before the catalogue (loaded encodings
  // named by menu position: "Вторая" the default, pinned files on Windows,
  // DOS, the first and the third loaded encoding) keeps every choice, and
  // writes them back so that they read the same again.
  void aDataFileFromBeforeTheCatalogueKeepsItsEncodings() {
    const QByteArray old =
        ReadAll(QStringLiteral(PRAMBUS_TEST_DATA "/data_from_window_before_catalogue.dat"));
    QVERIFY(!old.isEmpty());
    WriteAll(Path("data.dat"), ReplacePrefix(old, "/prambus-old-data", dir_->path().toUtf8()));
    for (const char* name : {"first.enc", "second.enc", "third.enc"})
      WriteAll(Path(name), SwapAbEncoding());
    for (const char* name : {"win.txt", "dos.txt", "first.txt", "third.txt", "plain.txt"})
      WriteAll(Path(name), "abc");
    for (int round = 0; round < 2; ++round) {
      auto w = ShowWindow(dir_->path(), {});
      QVERIFY(w);
      QStringList loaded;
      for (const QAction* item : w->EncodingActions()) loaded << item->text();
      QCOMPARE(loaded.mid(7), (QStringList{"Первая", "Вторая", "Третья"}));
      QCOMPARE(CheckedEncodings(*w), QStringList{"Вторая"});
      const QList<QPair<const char*, QString>> pinned = {{"win.txt", "Windows"},
                                                         {"dos.txt", "DOS"},
                                                         {"first.txt", "Первая"},
                                                         {"third.txt", "Третья"},
                                                         {"plain.txt", "Вторая"}};
      for (const auto& [name, encoding] : pinned) {
        QVERIFY(w->OpenPath(Path(name).toStdString()));
        QCOMPARE(CheckedEncodings(*w), QStringList{encoding});
      }
      QVERIFY(w->OpenPath(Path("plain.txt").toStdString()));
      w->Exit();
    }
  }
};

QTEST_MAIN(EncodingCatalogueGuiTest)
#include "encoding_catalogue_gui_test.moc"
