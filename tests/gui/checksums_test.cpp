// "Контрольные суммы..." on the real main window: the four checksums of the
// bytes as saved, checked against sha256sum, md5sum, sha1sum and gzip's
// CRC-32 of the same bytes, in both views, of the selection, during a load,
// and a long summing that shows progress and stops on Escape; and a system
// whose libcrypto cannot be had.
#include <QApplication>
#include <QClipboard>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <optional>

#include "checksum_digests.h"
#include "checksum_window.h"
#include "gui_files.h"
#include "main_window.h"
#include "settings/settings.h"
#include "shown_window.h"
#include "views/saved_bytes.h"

using namespace prambus;

namespace {
constexpr int kWait = 120000;  // a slow sanitizer build loads for long

QString FirstWord(const QByteArray& output) {
  return QString::fromLatin1(output).section(' ', 0, 0).trimmed();
}

QByteArray Run(const QString& program, const QStringList& args) {
  QProcess p;
  p.start(program, args);
  p.waitForFinished(kWait);
  return p.readAllStandardOutput();
}

// The checksums of a file by the system's own tools: CRC-32 from the
// trailer gzip writes (its own implementation, not zlib's), then md5sum,
// sha1sum and sha256sum.
QStringList ToolSums(const QString& path) {
  const QByteArray gz = Run("gzip", {"-c", "-n", path});
  const QByteArray t = gz.right(8);
  const quint32 crc = quint8(t[0]) | quint32(quint8(t[1])) << 8 | quint32(quint8(t[2])) << 16 |
                      quint32(quint8(t[3])) << 24;
  return {QString("%1").arg(crc, 8, 16, QChar('0')), FirstWord(Run("md5sum", {path})),
          FirstWord(Run("sha1sum", {path})), FirstWord(Run("sha256sum", {path}))};
}

QStringList Values(const ChecksumWindow& w) {
  QStringList out;
  for (int i = 0; i < 4; ++i) out << w.Value(i);
  return out;
}

QByteArray Scrambled(int size) {
  QByteArray bytes(size, '\0');
  quint32 seed = 11;
  for (char& c : bytes) {
    seed = seed * 1103515245u + 12345u;
    c = static_cast<char>(seed >> 23);
  }
  return bytes;
}
}  // namespace

class ChecksumsTest : public QObject {
  Q_OBJECT
  std::optional<QTemporaryDir> dir_;
  ScriptedPrompts* prompts_ = nullptr;
  QString Path(const QString& name) const { return dir_->filePath(name); }

  // The checksum window's values and heading, summed to the end.
  QStringList Sums(MainWindow& w, QString* heading = nullptr) {
    QStringList values;
    prompts_->checksums = [&](ChecksumWindow& c) {
      c.RunToEnd();
      values = Values(c);
      if (heading) *heading = c.heading->text();
    };
    w.Actions().checksums->trigger();
    return values;
  }
  QStringList ToolSumsOf(const QByteArray& bytes) {
    WriteAll(Path("expected.bin"), bytes);
    return ToolSums(Path("expected.bin"));
  }

 private slots:
  void init() {
    Cfg() = Settings{};
    dir_.emplace();
  }

  // DOS bytes shown through the DOS table: the sums are of the file's bytes,
  // not of what the view shows.
  void theTextViewsSumsAreOfTheBytesAsSaved() {
    const QByteArray file = "\x8F\xE0\xA8\xA2\xA5\xE2, \xAC\xA8\xE0!\r\nline two\r\n" +
                            QByteArray("\xAC\xA8\xE0 ").repeated(1000);
    WriteAll(Path("dos.txt"), file);
    auto w = ShowWindow(dir_->path(), Path("dos.txt"), &prompts_);
    QVERIFY(w);
    QVERIFY(w->SelectEncoding(encoding_id::kDos));
    QCOMPARE(w->View()->GetRow(0).substr(0, 2), std::string_view("\xCF\xF0"));  // shown as "Пр"
    QString heading;
    QCOMPARE(Sums(*w, &heading), ToolSums(Path("dos.txt")));
    QCOMPARE(heading, QString("Весь документ: 4\u00A0024 б. в том виде, в каком он сохраняется."));
    // The selection alone: "Привет, мир!" as the file holds it.
    w->View()->SetPosition(0, 0, false);
    w->View()->SetPosition(12, 0, true);
    QCOMPARE(Sums(*w, &heading), ToolSumsOf(file.left(12)));
    QCOMPARE(heading, QString("Выделенный фрагмент: 12 б. в том виде, в каком он сохраняется."));
    QVERIFY(!w->Modified());
  }

  void theHexViewsSumsOfTheDocumentAndTheSelection() {
    const QByteArray bytes = Scrambled(100000);
    WriteAll(Path("data.bin"), bytes);
    auto w = ShowWindow(dir_->path(), Path("data.bin"), &prompts_);
    QVERIFY(w);
    w->Actions().viewKinds[1]->trigger();
    QCOMPARE(w->ViewKind(), 2);
    QCOMPARE(Sums(*w), ToolSums(Path("data.bin")));
    w->View()->SetPosition(3, 10, false);  // bytes 163 to 1000
    w->View()->SetPosition(8, 62, true);
    QCOMPARE(Sums(*w), ToolSumsOf(bytes.mid(163, 1000 - 163)));
    // An empty document has the sums of no bytes.
    w->Actions().newDocument->trigger();
    QCOMPARE(Sums(*w), ToolSumsOf({}));
  }

  void valuesCanBeCopied() {
    WriteAll(Path("a.txt"), "abc");
    auto w = ShowWindow(dir_->path(), Path("a.txt"), &prompts_);
    QVERIFY(w);
    bool readOnly = false;
    prompts_->checksums = [&](ChecksumWindow& c) {
      c.RunToEnd();
      readOnly = c.fields[3]->isReadOnly();
      c.fields[3]->selectAll();
      c.fields[3]->copy();
      QCOMPARE(QApplication::clipboard()->text(),
               QString("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"));
      c.copyButton->click();
    };
    w->Actions().checksums->trigger();
    QVERIFY(readOnly);
    QCOMPARE(
        QApplication::clipboard()->text(),
        QString("CRC-32: 352441c2\nMD5: 900150983cd24fb0d6963f7d28e17f72\n"
                "SHA-1: a9993e364706816aba3e25717850c26c9cd0d89d\n"
                "SHA-256: ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad\n"));
  }

  // A long document is summed from the event loop with a progress bar;
  // Escape closes the window and nothing more is summed.
  void aLongSummingShowsProgressAndEscapeStopsIt() {
    const QByteArray bytes = Scrambled(32 << 20);
    WriteAll(Path("long.bin"), bytes);
    auto w = ShowWindow(dir_->path(), {}, &prompts_);
    QVERIFY(w);
    w->Actions().viewKinds[1]->trigger();
    prompts_->openNames = {Path("long.bin")};
    w->Actions().open->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(!w->Loading(), kWait);
    bool progressShown = false, doneAtEscape = true, openAfterEscape = true, doneLater = true;
    int permille = 0;
    prompts_->checksums = [&](ChecksumWindow& c) {
      c.show();
      progressShown = !c.progress->isHidden() && !c.copyButton->isEnabled();
      permille = c.progress->value();
      doneAtEscape = c.Done();
      QTest::keyClick(&c, Qt::Key_Escape);
      openAfterEscape = c.isVisible();
      QTest::qWait(200);
      doneLater = c.Done();
    };
    w->Actions().checksums->trigger();
    QVERIFY(progressShown);
    QVERIFY2(permille > 0 && permille < 1000, qPrintable(QString::number(permille)));
    QVERIFY(!doneAtEscape);
    QVERIFY(!openAfterEscape);
    QVERIFY(!doneLater);
    // Left alone, the steps go on to the end while the window repaints.
    QStringList values;
    int steps = 0;
    prompts_->checksums = [&](ChecksumWindow& c) {
      c.show();
      int last = -1;
      while (!c.Done() &&
             QTest::qWaitFor([&] { return c.progress->value() != last || c.Done(); }, kWait)) {
        last = c.progress->value();
        ++steps;
      }
      values = Values(c);
      QVERIFY(c.progress->isHidden());
      QCOMPARE(c.closeButton->text(), QString("Закрыть"));
    };
    w->Actions().checksums->trigger();
    QVERIFY(steps > 1);
    QCOMPARE(values, ToolSums(Path("long.bin")));
  }

  void aChecksumDuringALoadCoversTheWholeFile() {
    QByteArray big;
    for (int i = 0; i < 200000; ++i) big += "line " + QByteArray::number(i) + " of the file\n";
    WriteAll(Path("big.txt"), big);
    auto w = ShowWindow(dir_->path(), {}, &prompts_);
    QVERIFY(w);
    prompts_->openNames = {Path("big.txt")};
    w->Actions().open->trigger();
    QVERIFY(w->Loading());
    bool loadingWhenShown = true;
    QStringList values;
    prompts_->checksums = [&](ChecksumWindow& c) {
      loadingWhenShown = w->Loading();
      c.RunToEnd();
      values = Values(c);
    };
    w->Actions().checksums->trigger();
    QVERIFY(!loadingWhenShown);
    QCOMPARE(values, ToolSums(Path("big.txt")));
  }

  // Without libcrypto (missing, or a library of that name without its
  // functions) the window still opens and sums: CRC-32 is right and each
  // other row says why it has no value, also in what "Копировать всё" copies.
  void digestsWithoutTheirLibrarySaySoAndCrc32StillWorks() {
    WriteAll(Path("a.txt"), "abc");
    auto w = ShowWindow(dir_->path(), Path("a.txt"), &prompts_);
    QVERIFY(w);
    const QString missing = "недоступна: нет библиотеки libprambus-no-such-crypto.so.3";
    const QString wrong = "недоступна: в libz.so.1 нет нужных функций";
    for (const char* library : {"libprambus-no-such-crypto.so.3", "libz.so.1"}) {
      std::vector<std::unique_ptr<Digest>> digests;
      for (int i = 0; i < 4; ++i) digests.push_back(MakeChecksumDigest(i, library));
      ChecksumWindow c(
          w.get(),
          std::make_unique<ChecksumJob>(ReadSavedBytes(*w->View(), false), std::move(digests)),
          false);
      c.RunToEnd();
      QVERIFY(c.Done());
      const QString why = library[3] == 'z' ? wrong : missing;
      QCOMPARE(Values(c), QStringList({"352441c2", why, why, why}));
      QVERIFY(c.copyButton->isEnabled());
      QCOMPARE(c.AllValues(),
               QString("CRC-32: 352441c2\nMD5: %1\nSHA-1: %1\nSHA-256: %1\n").arg(why));
    }
    // The library under its own name, asked for in the same way, gives the digests.
    auto sha = MakeChecksumDigest(3, kCryptoLibrary);
    const uint8_t abc[] = {'a', 'b', 'c'};
    sha->Add(abc);
    QCOMPARE(sha->Hex(),
             std::string("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"));
  }
};

QTEST_MAIN(ChecksumsTest)
#include "checksums_test.moc"
