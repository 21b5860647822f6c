// What the window offers back at its start, on the real main window: the
// recovery copies a plug-in run left (one list however many there are; a
// copy that cannot be loaded leaves the window, the original file and the
// copy as they were) and the backup of a file whose save was killed while it
// rewrote the file.
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QMessageBox>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>
#include <optional>

#include "extensions/recovery_copy.h"
#include "gui_files.h"
#include "gui_test_environment.h"
#include "io/private_folder.h"
#include "main_window.h"
#include "recovery_keeper.h"
#include "recovery_list_dialog.h"
#include "settings/settings.h"
#include "shell/file_messages.h"
#include "shell/recovery_list.h"
#include "shell/save_journal.h"
#include "shown_window.h"
#include "views/row_text.h"
#include "window_reading.h"

using namespace prambus;

namespace {

QString Text(MainWindow& w) {
  QByteArray bytes;
  for (int r = 0; r <= w.View()->LastRow(); ++r) {
    const std::string_view row = w.View()->GetRow(r);
    bytes += QByteArray(row.data(), static_cast<qsizetype>(row.size()));
  }
  return QString::fromLatin1(bytes);
}

// Opens the first copy of the list, then closes the list when it comes back.
int OpenFirstThenLater(RecoveryListDialog& list) {
  if (list.Chosen() >= 0) return RecoveryListDialog::kLater;
  list.OpenButton()->click();
  return list.result();
}

}  // namespace

class StartRecoveryTest : public QObject {
  Q_OBJECT
  std::optional<QTemporaryDir> dir_;
  ScriptedPrompts* prompts_ = nullptr;

  QString Path(const QString& name) const { return dir_->filePath(name); }
  QString Folder() const { return Path("recovery"); }
  // A copy as a program that died while a plug-in ran leaves it.
  void LeaveCopy(const QString& base, const QString& document, const QByteArray& content,
                 uint64_t cursor = 0, int encodingPosition = 0,
                 const std::string& encodingId = {}) {
    QDir().mkpath(Folder());
    ::chmod(QFile::encodeName(Folder()).constData(), 0700);
    const RecoveryManifest m{QFile::encodeName(document).toStdString(),
                             "Падающий плагин",
                             1,
                             encodingPosition,
                             cursor,
                             encodingId};
    WriteAll(Folder() + "/" + base + ".recovery",
             QByteArray::fromStdString(FormatRecoveryManifest(m)));
    WriteAll(Folder() + "/" + base + ".document", content);
  }
  std::unique_ptr<MainWindow> Start(const QString& file,
                                    std::function<int(RecoveryListDialog&)> list = {},
                                    std::deque<int> answers = {}) {
    QStringList args{"prambus"};
    if (!file.isEmpty()) args << file;
    auto w = std::make_unique<MainWindow>(args, dir_->path());
    prompts_ = &ScriptedPrompts::InstallOn(*w);
    prompts_->recoveryList = std::move(list);
    prompts_->answers = std::move(answers);
    w->show();
    if (!QTest::qWaitForWindowExposed(w.get())) return nullptr;
    return w;
  }
  static std::string Journal() { return std::string(test::TestHome()) + "/state/prambus/saves"; }
  // The record a save killed while it rewrote `target` leaves behind.
  void LeaveInterruptedSave(const QString& target, const QString& backup) {
    QVERIFY(EnsurePrivateFolder(Journal()));
    struct stat st {};
    QCOMPARE(::stat(QFile::encodeName(target).constData(), &st), 0);
    const SaveRecord r{SaveStage::kRewriting,
                       QFile::encodeName(target).toStdString(),
                       QFile::encodeName(backup).toStdString(),
                       st.st_dev,
                       st.st_ino,
                       {}};
    WriteAll(QString::fromStdString(Journal()) + "/1-killed.save",
             QByteArray::fromStdString(FormatSaveRecord(r)));
  }
  static int Records() {
    return static_cast<int>(QDir(QString::fromStdString(Journal())).entryList(QDir::Files).size());
  }

 private slots:
  void init() {
    Cfg() = Settings{};
    dir_.emplace();
  }

  // Sixty copies ask one thing, not sixty; a FIFO among them is passed by.
  void manyCopiesAreOneList() {
    for (int i = 0; i < 60; ++i)
      LeaveCopy(QString("prambus-1-%1").arg(i, 2, 10, QChar('0')),
                Path(QString("doc%1.txt").arg(i)), "unsaved");
    QVERIFY(::mkfifo(QFile::encodeName(Folder() + "/stuck.recovery").constData(), 0600) == 0);
    auto later = Start({});
    QVERIFY(later);
    QTRY_COMPARE(prompts_->recoveryLists.size(), 1);
    QCOMPARE(prompts_->recoveryLists[0].size(), 60);
    QVERIFY(prompts_->questions.isEmpty());
    QCOMPARE(QDir(Folder()).entryList({"*.document"}).size(), 60);  // kept for later
    later.reset();
    // All selected and discarded at once, once the user agrees; the list
    // closes when it is empty.
    int listedAfterCancel = -1;
    auto w = Start({},
                   [&listedAfterCancel](RecoveryListDialog& list) {
                     list.List()->selectAll();
                     list.DiscardButton()->click();  // "Отмена"
                     listedAfterCancel = list.List()->topLevelItemCount();
                     list.DiscardButton()->click();  // "Удалить"
                     return list.result();
                   },
                   {1000, 1001});
    QVERIFY(w);
    QTRY_COMPARE(prompts_->recoveryLists.size(), 1);
    QCOMPARE(listedAfterCancel, 60);
    const QString question =
        "Восстановление документов: " + QString::fromStdString(RecoveryDiscardQuestion(60));
    QCOMPARE(prompts_->questions, QStringList({question, question}));
    QCOMPARE(QDir(Folder()).entryList({"*.document", "*.recovery"}, QDir::Files | QDir::System),
             QStringList{"stuck.recovery"});
    QVERIFY(!w->Modified());
  }

  // The copy is too large to load: the window keeps the file it showed, the
  // original is never replaced, and the copy stays with a word on where.
  void aCopyThatCannotBeLoadedLeavesTheWindowTheFileAndTheCopy() {
    const QString orig = Path("orig.txt");
    WriteAll(orig, "precious original content\r\n");
    LeaveCopy("prambus-1-big", orig, "");
    const QString copy = Folder() + "/prambus-1-big.document";
    QVERIFY(::truncate(QFile::encodeName(copy).constData(), qint64(3) << 30) == 0);
    auto w = Start(orig, OpenFirstThenLater);
    QVERIFY(w);
    QTRY_COMPARE(prompts_->recoveryLists.size(), 2);  // back after the failure
    OrphanCopy described;
    described.manifest.documentPath = orig.toStdString();
    described.contentPath = copy.toStdString();
    QCOMPARE(prompts_->notes,
             QStringList{QString::fromStdString(RecoveryOpenFailedMessage(described))});
    QCOMPARE(w->windowTitle(), QString("orig.txt - Прамбус"));
    QVERIFY(!w->Modified());
    QCOMPARE(Text(*w), QString("precious original content\r\n"));
    QTest::keyClick(w->centralWidget(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(ReadAll(orig), QByteArray("precious original content\r\n"));
    QCOMPARE(QFileInfo(copy).size(), qint64(3) << 30);
    QVERIFY(QFile::exists(Folder() + "/prambus-1-big.recovery"));
  }

  // The last run may have ended for want of memory; the next one may be
  // short of it too: a copy that fails to load for it is kept.
  void aCopyThatRunsOutOfMemoryIsKept() {
#if defined(__SANITIZE_ADDRESS__)
    QSKIP("the address sanitizer reserves far more address space than any limit");
#else
    const QString orig = Path("orig.txt");
    WriteAll(orig, "precious original content\r\n");
    LeaveCopy("prambus-1-large", orig, "");
    const QString copy = Folder() + "/prambus-1-large.document";
    QVERIFY(::truncate(QFile::encodeName(copy).constData(), qint64(400) << 20) == 0);
    auto w = Start(orig);
    QVERIFY(w);
    QTRY_COMPARE(prompts_->recoveryLists.size(), 1);  // "Позже": not yet
    // Room for what runs now and a little more, not for a 400 MB document.
    rlimit saved{};
    QVERIFY(::getrlimit(RLIMIT_AS, &saved) == 0);
    QFile status("/proc/self/status");
    QVERIFY(status.open(QIODevice::ReadOnly));
    const QByteArray text = status.readAll();
    const qsizetype at = text.indexOf("VmSize:");
    const qint64 inUse =
        text.mid(at + 7, text.indexOf('\n', at) - at - 7).trimmed().split(' ')[0].toLongLong()
        << 10;
    w.reset();
    rlimit tight = saved;
    tight.rlim_cur = static_cast<rlim_t>(inUse + (qint64(200) << 20));
    QVERIFY(::setrlimit(RLIMIT_AS, &tight) == 0);
    // The rows' address range was reserved before the limit was set, as no
    // limit given at the start allows (the range is then a quarter of the
    // limit at most): its room is taken for the while, so that documents
    // are bound by the limit as they would be.
    AddressRange& range = AddressRange::Process();
    std::vector<std::pair<uint8_t*, size_t> > taken;
    for (size_t n = range.FreeBytes(); n >= 4096;) {
      if (uint8_t* p = range.Take(n, 4096))
        taken.push_back({p, n});
      else
        n = n / 2 / 4096 * 4096;
      n = std::min(n, range.FreeBytes());
    }
    w = Start(orig, OpenFirstThenLater);
    const bool shown = w != nullptr;
    if (shown) QTRY_COMPARE(prompts_->recoveryLists.size(), 2);
    QStringList notes = shown ? prompts_->notes : QStringList{};
    const QString title = shown ? w->windowTitle() : QString();
    const bool modified = shown && w->Modified();
    w.reset();
    QVERIFY(::setrlimit(RLIMIT_AS, &saved) == 0);
    for (const auto& [p, n] : taken) range.Give(p, n);
    QVERIFY(shown);
    QCOMPARE(notes.size(), 1);
    QVERIFY(notes[0].contains(copy));
    QCOMPARE(title, QString("orig.txt - Прамбус"));
    QVERIFY(!modified);
    QCOMPARE(ReadAll(orig), QByteArray("precious original content\r\n"));
    QCOMPARE(QFileInfo(copy).size(), qint64(400) << 20);
#endif
  }

  // The copy that loads becomes the unsaved document, and stays on disk
  // until that is saved: a run killed before the save offers it again.
  void aCopyThatLoadsIsTheUnsavedDocument() {
    const QString orig = Path("orig.txt");
    WriteAll(orig, "precious original content\r\n");
    LeaveCopy("prambus-1-ok", orig, "edited content\r\n");
    auto w = Start({}, OpenFirstThenLater);
    QVERIFY(w);
    QTRY_COMPARE(w->windowTitle(), QString("* orig.txt - Прамбус"));
    QCOMPARE(prompts_->recoveryLists.size(), 1);
    QCOMPARE(Text(*w), QString("edited content\r\n"));
    const QStringList left{"prambus-1-ok.document", "prambus-1-ok.recovery"};
    QCOMPARE(QDir(Folder()).entryList(QDir::Files), left);
    // Another start meanwhile does not offer what this one holds.
    QCOMPARE(FindOrphanCopies(Folder().toStdString()).size(), size_t{0});
    w->Recovery().LeaveForNextStart();  // as a kill leaves it
    w.reset();
    w = Start({}, OpenFirstThenLater);
    QVERIFY(w);
    QTRY_COMPARE(w->windowTitle(), QString("* orig.txt - Прамбус"));
    QCOMPARE(prompts_->recoveryLists.size(), 1);
    QCOMPARE(QDir(Folder()).entryList(QDir::Files), left);
    QVERIFY(w->Save());
    QCOMPARE(ReadAll(orig), QByteArray("edited content\r\n"));
    QCOMPARE(QDir(Folder()).entryList(QDir::Files).size(), 0);
  }

  // The cursor comes back where the copy says; "Нет" to saving it before
  // "Новый" gives the restored document up with its copy.
  void theCursorComesBackAndNoGivesTheCopyUp() {
    const QString orig = Path("orig.txt");
    LeaveCopy("prambus-1-at", orig, "first line\r\nsecond line\r\n", 16);
    auto w = Start({}, OpenFirstThenLater, {1001});
    QVERIFY(w);
    QTRY_COMPARE(w->windowTitle(), QString("* orig.txt - Прамбус"));
    QCOMPARE(w->View()->CursorRow(), 1);
    QCOMPARE(w->View()->CursorColumn(), 4);
    QCOMPARE(QDir(Folder()).entryList(QDir::Files).size(), 2);
    w->Actions().newDocument->trigger();  // "Нет"
    QCOMPARE(QDir(Folder()).entryList(QDir::Files).size(), 0);
    QCOMPARE(w->windowTitle(), QString("Безымянный.txt - Прамбус"));
    QVERIFY(!QFile::exists(orig));
  }

  // A copy comes back in the encoding its document was shown in: by the old
  // menu position, or by the identifier the position cannot name.
  void aCopyComesBackInItsEncoding() {
    const QByteArray koi8u = "\xf0\xd2\xc9\xd7\xa6\xd4 \xf5\xcb\xd2\xc1\xa7\xce\xa6!\n";
    for (const bool byId : {false, true}) {
      dir_.emplace();
      LeaveCopy("prambus-1-enc", Path("orig.txt"), koi8u, 0, 1, byId ? "koi8-u" : "");
      auto w = Start({}, OpenFirstThenLater);
      QVERIFY(w);
      QTRY_COMPARE(w->windowTitle(), QString("* orig.txt - Прамбус"));
      QCOMPARE(CheckedEncodings(*w), QStringList{byId ? "KOI8-U" : "DOS"});
      QVERIFY(w->Save());
      QCOMPARE(ReadAll(Path("orig.txt")), koi8u);
    }
  }

  // A file left half rewritten by a killed save: its old content is put
  // back before the window reads it.
  void aHalfRewrittenFileGetsItsBackupBack() {
    const QString doc = Path("doc.txt"), backup = Path("doc.txt.prambus-backup-Ab12Cd");
    WriteAll(doc, "new new new old");
    QVERIFY(::link(QFile::encodeName(doc).constData(),
                   QFile::encodeName(Path("other name")).constData()) == 0);
    WriteAll(backup, "the old content");
    LeaveInterruptedSave(doc, backup);
    auto w = Start(doc, {}, {1001});  // "Вернуть"
    QVERIFY(w);
    QCOMPARE(prompts_->questions, QStringList{QString(kInterruptedSaveCaption) + ": " +
                                              QString::fromStdString(InterruptedSaveQuestion(
                                                  doc.toStdString(), backup.toStdString()))});
    QCOMPARE(ReadAll(Path("other name")), QByteArray("the old content"));
    QTRY_COMPARE(Text(*w), QString("the old content"));
    QVERIFY(!QFile::exists(backup));
    QCOMPARE(Records(), 0);
  }

  void keepingBothOrAnsweringLaterLeavesTheFileAsItIs() {
    const QString doc = Path("doc.txt"), backup = Path("doc.txt.prambus-backup-Ab12Cd");
    WriteAll(doc, "new new new old");
    WriteAll(backup, "the old content");
    LeaveInterruptedSave(doc, backup);
    auto w = Start({});  // closed without an answer: asked again next time
    QVERIFY(w);
    QCOMPARE(prompts_->questions.size(), 1);
    QCOMPARE(Records(), 1);
    w = Start({}, {}, {1000});  // "Оставить оба"
    QVERIFY(w);
    QCOMPARE(prompts_->questions.size(), 1);
    QCOMPARE(ReadAll(doc), QByteArray("new new new old"));
    QCOMPARE(ReadAll(backup), QByteArray("the old content"));
    QCOMPARE(Records(), 0);
    w = Start({});
    QVERIFY(prompts_->questions.isEmpty());
    // A backup that is gone is told about, not offered.
    LeaveInterruptedSave(doc, Path("gone"));
    w = Start({});
    QCOMPARE(prompts_->notes, QStringList{QString::fromStdString(InterruptedSaveBackupMissing(
                                  doc.toStdString(), Path("gone").toStdString()))});
    QCOMPARE(Records(), 0);
  }

  // With the program's own dialogs: the question comes before the window
  // has its place, so it is centred on the screen in the notes' font, and
  // Enter keeps both, destroying nothing.
  void theQuestionBeforeTheWindowIsCentredAndEnterKeepsBoth() {
    const QString doc = Path("doc.txt"), backup = Path("doc.txt.prambus-backup-Ab12Cd");
    WriteAll(doc, "new new new old");
    WriteAll(backup, "the old content");
    LeaveInterruptedSave(doc, backup);
    QRect frame;
    QFont font;
    QString defaultButton;
    QTimer answer;
    answer.setInterval(10);
    connect(&answer, &QTimer::timeout, this, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box || !box->isVisible()) {
        // Whatever else a first start asks (the welcome window) is declined.
        if (auto* other = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
          other->reject();
        return;
      }
      if (box->windowTitle() != kInterruptedSaveCaption) return box->reject();
      frame = box->frameGeometry();
      font = box->font();
      defaultButton = box->defaultButton() ? box->defaultButton()->text() : QString();
      QTest::keyClick(box, Qt::Key_Return);
    });
    answer.start();
    MainWindow w({"prambus"}, dir_->path());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    answer.stop();
    QVERIFY(frame.isValid());
    const QPoint middle = QGuiApplication::primaryScreen()->availableGeometry().center();
    QVERIFY2((frame.center() - middle).manhattanLength() <= 2,
             qPrintable(QString("box at %1,%2 %3x%4")
                            .arg(frame.x())
                            .arg(frame.y())
                            .arg(frame.width())
                            .arg(frame.height())));
    QCOMPARE(font, QApplication::font("QMessageBox"));
    QCOMPARE(defaultButton, QString("Оставить оба"));
    QCOMPARE(ReadAll(doc), QByteArray("new new new old"));
    QCOMPARE(ReadAll(backup), QByteArray("the old content"));
    QCOMPARE(Records(), 0);
  }
};

QTEST_MAIN(StartRecoveryTest)
#include "start_recovery_test.moc"
