// Printing from the real main window into PDF files at 300 dpi, read back
// with pdftotext and pdfinfo: page ranges, page numbers, the selection, the
// hex view fitted to the page, Russian text, cancelling and failures.
#include <QPrinter>
#include <QProcess>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <memory>
#include <optional>

#include "gui_files.h"
#include "gui_test_environment.h"
#include "main_window.h"
#include "platform/services.h"
#include "qt_canvas.h"
#include "scripted_prompts.h"
#include "settings/settings.h"
#include "shown_window.h"
#include "support/file_system.h"
#include "views/hex_view.h"

using namespace prambus;

namespace {

// Chooses as a user would in the print dialog: a PDF file on A4 without
// printer margins, at 300 dpi.
struct PdfChoice {
  QString file;
  QPrinter::PrintRange range = QPrinter::AllPages;
  int from = 0, to = 0;
  bool offered = false;  // whether the selection could be chosen
  bool answer = true;    // false: the user cancels the dialog
  int asked = 0;         // how often the dialog was shown
  // What the dialog showed before the user chose.
  int presetFrom = 0, presetTo = 0;
  bool presetCollate = false;

  bool operator()(QPrinter& printer, bool selectionAllowed) {
    ++asked;
    offered = selectionAllowed;
    presetFrom = printer.fromPage();
    presetTo = printer.toPage();
    presetCollate = printer.collateCopies();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    printer.setResolution(300);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    printer.setPrintRange(range);
    if (range == QPrinter::PageRange) printer.setFromTo(from, to);
    return answer;
  }
};

QString Run(const QString& program, const QStringList& args) {
  QProcess p;
  p.start(program, args);
  if (!p.waitForFinished(60000) || p.exitCode() != 0) return QString("<%1 failed>").arg(program);
  return QString::fromUtf8(p.readAllStandardOutput());
}

int PageCount(const QString& pdf) {
  const QRegularExpressionMatch m =
      QRegularExpression("Pages:\\s+(\\d+)").match(Run("pdfinfo", {pdf}));
  return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// The non-empty lines of one page (or of all pages when page is 0).
QStringList PageLines(const QString& pdf, int page = 0) {
  QStringList args;
  if (page > 0) args << "-f" << QString::number(page) << "-l" << QString::number(page);
  QStringList lines = Run("pdftotext", args << pdf << "-").split(QRegularExpression("[\n\f]"));
  lines.removeAll(QString());
  return lines;
}

QStringList Numbered(int from, int to) {
  QStringList lines;
  for (int i = from; i <= to; ++i) lines << QString("Строка номер %1").arg(i, 4, 10, QChar('0'));
  return lines;
}

QByteArray DocumentOf(const QStringList& lines) {
  return QByteArray::fromStdString(ToCp1251(lines.join("\r\n") + "\r\n"));
}

struct Box {
  double xMin, yMin, xMax, yMax;
};
// Word boxes of one page, in points, from pdftotext -bbox.
QList<std::pair<QString, Box>> Words(const QString& pdf, int page) {
  const QString html = Run(
      "pdftotext", {"-bbox", "-f", QString::number(page), "-l", QString::number(page), pdf, "-"});
  QList<std::pair<QString, Box>> words;
  QRegularExpression re(
      "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" "
      "yMax=\"([\\d.]+)\">([^<]*)</word>");
  for (auto it = re.globalMatch(html); it.hasNext();) {
    const auto m = it.next();
    words.push_back({m.captured(5),
                     {m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                      m.captured(4).toDouble()}});
  }
  return words;
}

}  // namespace

class PrintTest : public QObject {
  Q_OBJECT
  std::optional<QTemporaryDir> dir_;
  std::unique_ptr<MainWindow> w_;
  ScriptedPrompts* prompts_ = nullptr;
  std::optional<PdfChoice> choice_;
  int beeps_ = 0;

  void Open(const QByteArray& bytes, const QString& name = "doc.txt") {
    const QString path = dir_->filePath(name);
    WriteAll(path, bytes);
    w_ = ShowWindow(dir_->path(), path, &prompts_);
    QVERIFY(w_);
    Services().beep = [this] { ++beeps_; };
    choice_.emplace();
    choice_->file = dir_->filePath("out.pdf");
    prompts_->printer = [this](QPrinter& printer, bool selectionAllowed) {
      return (*choice_)(printer, selectionAllowed);
    };
  }
  QAction* PrintAction() const { return w_->Actions().print; }
  // Lines on a full page at 300 dpi, found by printing a long document.
  int LinesPerPage() {
    Open(DocumentOf(Numbered(1, 200)));
    PrintAction()->trigger();
    const int n = static_cast<int>(PageLines(choice_->file, 1).size()) - 1;  // less the number
    w_.reset();
    QFile::remove(dir_->filePath("out.pdf"));
    return n;
  }

 private slots:
  void initTestCase() {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty() ||
        QStandardPaths::findExecutable("pdfinfo").isEmpty())
      QFAIL("pdftotext and pdfinfo are needed: run scripts/deps.sh (poppler-utils)");
  }
  void init() {
    Cfg() = Settings{};
    dir_.emplace();
    beeps_ = 0;
  }
  void cleanup() { w_.reset(); }

  void pagesThreeToFourOfSixPrintExactlyThosePages() {
    const int perPage = LinesPerPage();
    QVERIFY(perPage > 20);
    const QStringList lines = Numbered(1, perPage * 5 + perPage / 2);  // six pages
    Open(DocumentOf(lines));
    choice_->range = QPrinter::PageRange;
    choice_->from = 3;
    choice_->to = 4;
    // A PDF file is always a printer: the command works with no printer installed.
    QVERIFY(PrintAction()->isEnabled());
    QTest::keyClick(w_->centralWidget(), Qt::Key_P, Qt::ControlModifier);
    QCOMPARE(choice_->presetFrom, 1);
    QCOMPARE(choice_->presetTo, 100);
    QVERIFY(choice_->presetCollate);
    QCOMPARE(PageCount(choice_->file), 2);
    QCOMPARE(PageLines(choice_->file, 1), lines.mid(2 * perPage, perPage) << "3");
    QCOMPARE(PageLines(choice_->file, 2), lines.mid(3 * perPage, perPage) << "4");
    QCOMPARE(beeps_, 0);
    QVERIFY(!w_->Modified());

    // The whole document: six pages, the number centred at the bottom, the
    // last line above it although the bottom margin is 0.
    choice_->range = QPrinter::AllPages;
    PrintAction()->trigger();
    QCOMPARE(PageCount(choice_->file), 6);
    QCOMPARE(PageLines(choice_->file), [&] {
      QStringList all;
      for (int p = 0; p < 6; ++p) all << lines.mid(p * perPage, perPage) << QString::number(p + 1);
      return all;
    }());
    const auto words = Words(choice_->file, 2);
    QVERIFY(!words.isEmpty());
    const auto [number, box] = words.back();
    QCOMPARE(number, QString("2"));
    const double a4Width = 595.28, a4Height = 841.89;
    QVERIFY(qAbs((box.xMin + box.xMax) / 2 - a4Width / 2) < 2);
    QVERIFY(box.yMax <= a4Height && box.yMax > a4Height - 20);
    for (const auto& [text, b] : words.mid(0, words.size() - 1)) QVERIFY(b.yMax <= box.yMin);
    const Box first = words.front().second;  // the top and left margins of 1 cm
    QVERIFY(qAbs(first.xMin - 28.35) < 1);
    QVERIFY(qAbs(first.yMin - 28.35) < 1);
  }

  void theSelectionPrintsAloneFromPageOne() {
    const QStringList lines = Numbered(1, 300);
    Open(DocumentOf(lines));
    PrintAction()->trigger();
    QVERIFY(!choice_->offered);  // nothing selected: the selection is not offered
    w_->View()->SetPosition(0, 150, false);
    w_->View()->SetPosition(0, 153, true);  // lines 151 to 153
    choice_->range = QPrinter::Selection;
    PrintAction()->trigger();
    QVERIFY(choice_->offered);
    QCOMPARE(PageCount(choice_->file), 1);
    QCOMPARE(PageLines(choice_->file), lines.mid(150, 3) << "1");
  }

  void aHexDocumentTooWideNarrowsItsColumnsAndKeepsThem() {
    QByteArray bytes;
    for (int i = 0; i < 600; ++i) bytes += static_cast<char>(i % 256);
    Cfg().HexColumns = 64;
    Open(bytes, "data.bin");
    w_->KeyDown(Qt::Key_F6, Qt::NoModifier);
    QCOMPARE(w_->ViewKind(), 2);
    auto* hex = dynamic_cast<HexView*>(w_->View());
    hex->MoveCursorToByte(300);
    PrintAction()->trigger();
    const int n = Cfg().HexColumns;
    QVERIFY(n < 64 && n >= 2);
    QCOMPARE(hex->CursorOffset(), 300);  // the screen's view follows, on the same byte
    const QStringList text = PageLines(choice_->file);
    QVERIFY(text.join(' ').contains("текст"));
    // Under the column numbers, every byte's code in order, n to a row.
    QStringList codeRows;
    for (const QString& line : text)
      if (QRegularExpression("^([0-9A-F]{2} )*[0-9A-F]{2}$").match(line).hasMatch())
        codeRows << line;
    QVERIFY(!codeRows.isEmpty());
    QCOMPARE(codeRows.front().split(' ').size(), n);  // the column numbers
    QStringList codes;
    for (int i = 0; i < 600; ++i) codes << QString("%1").arg(i % 256, 2, 16, QChar('0')).toUpper();
    QCOMPARE(codeRows.mid(1).join(' '), codes.join(' '));
    QCOMPARE(codeRows.size(), 1 + (600 + n - 1) / n);
    // The narrower setting stays for the next job and the next run.
    PrintAction()->trigger();
    QCOMPARE(Cfg().HexColumns, n);
    QVERIFY(w_->SaveSettings());
    w_.reset();
    Cfg() = Settings{};
    w_ = ShowWindow(dir_->path(), dir_->filePath("data.bin"));
    QVERIFY(w_);
    QCOMPARE(Cfg().HexColumns, n);
  }

  void cancellingLeavesTheTargetAsItWas() {
    Open(DocumentOf(Numbered(1, 9999) + Numbered(1, 9999) + Numbered(1, 9999)));
    WriteAll(choice_->file, "old");
    // The job's temporary PDF is on record while it exists, so that a
    // program killed meanwhile leaves none behind at its next start.
    QString recorded;
    QTimer::singleShot(0, this, [this, &recorded] {
      const QDir journal(QString(test::TestHome()) + "/state/prambus/saves");
      for (const QString& name : journal.entryList({"*.save"}, QDir::Files))
        recorded += ReadAll(journal.filePath(name));
      if (auto* progress = w_->findChild<QProgressDialog*>()) progress->cancel();
    });
    PrintAction()->trigger();
    QVERIFY2(recorded.contains(dir_->filePath(".prambus-print-")), qPrintable(recorded));
    QCOMPARE(ReadAll(choice_->file), QByteArray("old"));
    QVERIFY(prompts_->notes.isEmpty());
    QCOMPARE(QDir(dir_->path()).entryList(QDir::Files | QDir::Hidden),
             QStringList({"data.dat", "doc.txt", "out.pdf"}));  // data.dat: the first start's
    QCOMPARE(beeps_, 0);
  }

  void aFullDiskFailsAndLeavesTheTargetAsItWas() {
    const QString disk = dir_->filePath("small");
    QVERIFY(QDir().mkdir(disk));
    SmallTmpfs tmpfs(disk.toStdString(), 256 << 10);
    if (!tmpfs.Mounted()) QSKIP(tmpfs.Why().c_str());
    Open(DocumentOf(Numbered(1, 9999)));
    choice_->file = disk + "/out.pdf";
    WriteAll(choice_->file, "old");
    PrintAction()->trigger();
    QCOMPARE(prompts_->notes, QStringList{"Не могу напечатать документ в файл «" + choice_->file +
                                          "»: на диске не хватает места. Файл на диске остался "
                                          "прежним."});
    QCOMPARE(beeps_, 1);
    QCOMPARE(ReadAll(choice_->file), QByteArray("old"));
    QCOMPARE(QDir(disk).entryList(QDir::Files | QDir::Hidden), QStringList{"out.pdf"});
    QVERIFY(!w_->Modified());
  }

  void aFailureBeepsAndChangesNothing() {
    Open(DocumentOf(Numbered(1, 10)));
    choice_->file = dir_->filePath("missing/out.pdf");
    PrintAction()->trigger();
    QCOMPARE(prompts_->notes, QStringList{"Не могу напечатать документ в файл «" + choice_->file +
                                          "»: папки «" + dir_->filePath("missing") + "» нет."});
    QCOMPARE(beeps_, 1);
    QVERIFY(!QFile::exists(choice_->file));
    QVERIFY(!w_->Modified());
    QCOMPARE(w_->View()->GetRow(0),
             std::string_view("\xd1\xf2\xf0\xee\xea\xe0 \xed\xee\xec\xe5\xf0 0001\r\n"));
    // Margins that leave no room on the page are a failure too.
    choice_->file = dir_->filePath("out.pdf");
    Cfg().LeftMargin = 15;
    Cfg().RightMargin = 15;
    prompts_->notes.clear();
    PrintAction()->trigger();
    QCOMPARE(prompts_->notes,
             QStringList{"По какой-то причине не могу послать этот документ на печать."});
    QCOMPARE(beeps_, 2);
    QVERIFY(!QFile::exists(choice_->file));
    // A dialog the user cancels prints nothing and says nothing.
    choice_->answer = false;
    QTest::keyClick(w_->centralWidget(), Qt::Key_P, Qt::ControlModifier);
    QCOMPARE(choice_->asked, 3);
    QCOMPARE(prompts_->notes.size(), 1);
    QCOMPARE(beeps_, 2);
  }
};

QTEST_MAIN(PrintTest)
#include "print_test.moc"
