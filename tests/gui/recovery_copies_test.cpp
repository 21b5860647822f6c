// Recovery copies of the modified document on the real main window: one
// follows a pause in the typing, a newer one replaces it leaving nothing of
// the old, the copy goes when the document is saved or given up, and copies
// that cannot be written are told once.
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <cerrno>
#include <optional>

#include "extensions/recovery_copy.h"
#include "gui_files.h"
#include "gui_test_environment.h"
#include "io/record_text.h"
#include "main_window.h"
#include "recovery_keeper.h"
#include "scripted_prompts.h"
#include "settings/settings.h"
#include "shell/file_messages.h"

using namespace prambus;

class RecoveryCopiesTest : public QObject {
  Q_OBJECT
  std::optional<QTemporaryDir> dir_;
  ScriptedPrompts* prompts_ = nullptr;

  QString Path(const QString& name) const { return dir_->filePath(name); }
  QString Folder() const { return Path("recovery"); }
  QStringList Files() const { return QDir(Folder()).entryList(QDir::Files | QDir::System); }
  std::unique_ptr<MainWindow> Start(const QString& file = {}) {
    QStringList args{"prambus"};
    if (!file.isEmpty()) args << file;
    auto w = std::make_unique<MainWindow>(args, dir_->path());
    prompts_ = &ScriptedPrompts::InstallOn(*w);
    w->show();
    if (!QTest::qWaitForWindowExposed(w.get())) return nullptr;
    return w;
  }
  // The manifest of the one copy in the folder.
  RecoveryManifest Manifest() const {
    const QStringList m = QDir(Folder()).entryList({"*.recovery"});
    if (m.size() != 1) return {};
    return ParseRecoveryManifest(ReadAll(Folder() + "/" + m[0]).toStdString())
        .value_or(RecoveryManifest{});
  }
  QByteArray Content() const {
    const QStringList d = QDir(Folder()).entryList({"*.document"});
    return d.size() == 1 ? ReadAll(Folder() + "/" + d[0]) : QByteArray("(none)");
  }
  static void Type(MainWindow& w, const QString& text) {
    QTest::keyClicks(w.centralWidget(), text);
  }
  static void WaitWritten(MainWindow& w) { QTRY_VERIFY(!w.Recovery().Writing()); }

 private slots:
  void init() {
    Cfg() = Settings{};
    dir_.emplace();
  }

  // The clock's own pause, once: a copy comes without any call.
  void aCopyFollowsAPauseInTheTyping() {
    const QString file = Path("name\nwith odd \xff bytes.txt");
    WriteAll(file, "line one\r\n");
    auto w = Start(file);
    QVERIFY(w);
    QTest::keyClick(w->centralWidget(), Qt::Key_End, Qt::ControlModifier);
    Type(*w, "typed");
    QVERIFY(Files().isEmpty());  // not at once
    // The document's file gets its name before the manifest does: the copy
    // is whole once the manifest has its own.
    QTRY_COMPARE_WITH_TIMEOUT(QDir(Folder()).entryList({"*.recovery"}).size(), 1, 10000);
    QCOMPARE(Files().size(), 2);
    QCOMPARE(Content(), QByteArray("line one\r\ntyped"));
    const RecoveryManifest m = Manifest();
    QCOMPARE(m.documentPath, QFile::encodeName(file).toStdString());
    QCOMPARE(m.cursor, uint64_t{15});
    QCOMPARE(m.viewKind, 1);
    QCOMPARE(m.pluginCaption, std::string());
    QCOMPARE(QFileInfo(Folder()).permissions(), QFile::ReadOwner | QFile::WriteOwner |
                                                    QFile::ExeOwner | QFile::ReadUser |
                                                    QFile::WriteUser | QFile::ExeUser);
    QCOMPARE(QFileInfo(Folder() + "/" + Files()[0]).permissions(),
             QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    QVERIFY(w->Save());
    QVERIFY(Files().isEmpty());
  }

  // Each newer copy takes the place of the last; the copy being written
  // when the document is saved is thrown away.
  void aNewerCopyLeavesNothingOfTheOld() {
    auto w = Start();
    QVERIFY(w);
    Type(*w, "abc");
    w->Recovery().WriteDueCopy();
    WaitWritten(*w);
    QCOMPARE(Content(), QByteArray("abc"));
    for (const char* more : {"d", "e", "f"}) {
      Type(*w, more);
      w->Recovery().WriteDueCopy();
      WaitWritten(*w);
      QCOMPARE(Files().size(), 2);
    }
    QCOMPARE(Content(), QByteArray("abcdef"));
    QCOMPARE(Manifest().documentPath, std::string());
    Type(*w, "g");
    w->Recovery().WriteDueCopy();
    prompts_->saveNames = {Path("saved.txt")};
    w->Actions().saveAs->trigger();
    WaitWritten(*w);
    QVERIFY(Files().isEmpty());
    QCOMPARE(ReadAll(Path("saved.txt")), QByteArray("abcdefg"));
  }

  // The hex view's bytes and kind; "Нет" before another document gives the
  // copy up, and the new document has copies of its own.
  void hexCopiesAndGivingUp() {
    WriteAll(Path("data.bin"), QByteArray("\x01\x02\x03", 3));
    auto w = Start(Path("data.bin"));
    QVERIFY(w);
    QTest::keyClick(w->centralWidget(), Qt::Key_F6);
    QTRY_COMPARE(w->ViewKind(), 2);
    QTest::keyClick(w->centralWidget(), Qt::Key_End, Qt::ControlModifier);
    Type(*w, "ff");
    QVERIFY(w->Modified());
    w->Recovery().WriteDueCopy();
    WaitWritten(*w);
    QCOMPARE(Manifest().viewKind, 2);
    w->View()->SaveToFile(Path("as saved").toStdString());
    QCOMPARE(Content(), ReadAll(Path("as saved")));
    QVERIFY(Content() != ReadAll(Path("data.bin")));
    prompts_->answers = {1001};  // "Нет"
    w->Actions().newDocument->trigger();
    QVERIFY(Files().isEmpty());
    Type(*w, "1");
    w->Recovery().WriteDueCopy();
    WaitWritten(*w);
    QCOMPARE(Files().size(), 2);
    QCOMPARE(Manifest().documentPath, std::string());
  }

  // A large hex document's copy is made in a buffer of its own, which is
  // given back once written: the document is not held twice over while it
  // stays modified. Each later copy still has all of its bytes.
  void aLargeHexCopysBufferIsNotKept() {
    QByteArray bytes(5 << 20, '\0');
    for (int i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7 + (i >> 12));
    WriteAll(Path("large.bin"), bytes);
    auto w = Start(Path("large.bin"));
    QVERIFY(w);
    QTRY_VERIFY(!w->Loading());
    if (w->ViewKind() != 2) QTest::keyClick(w->centralWidget(), Qt::Key_F6);
    QTRY_COMPARE(w->ViewKind(), 2);
    for (const char* typed : {"ab", "cd"}) {
      Type(*w, typed);
      QTRY_VERIFY(w->Recovery().SpareBytes() >= static_cast<size_t>(bytes.size()));
      w->Recovery().WriteDueCopy();
      WaitWritten(*w);
      QCOMPARE(w->Recovery().SpareBytes(), size_t{0});
      w->View()->SaveToFile(Path("as typed").toStdString());
      QCOMPARE(Content(), ReadAll(Path("as typed")));
    }
    QCOMPARE(Content().size(), bytes.size() + 2);  // two bytes typed in
  }

  // The session ends: the last copy is written though no pause came, and
  // stays for the next start; data.dat is written as at "Выход".
  void theSessionsEndLeavesTheLastCopy() {
    auto w = Start();
    QVERIFY(w);
    Type(*w, "last words");
    w->EndSession();
    QCOMPARE(Content(), QByteArray("last words"));
    QVERIFY(QFile::exists(Path("data.dat")));
    w.reset();
    QCOMPARE(Files().size(), 2);
    QCOMPARE(FindOrphanCopies(Folder().toStdString()).size(), size_t{1});
  }

  // Where the folder should be there is a file: the user hears of it once,
  // however often the copy is tried again, and again only once copies were
  // written and then failed anew. The document stays as typed.
  void copiesThatKeepFailingAreToldOnce() {
    WriteAll(Path("doc.txt"), "kept\r\n");
    WriteAll(Folder(), "not a folder");
    auto w = Start(Path("doc.txt"));
    QVERIFY(w);
    const QString told =
        QString::fromStdString(RecoveryCopyFailedMessage(Folder().toStdString(), ENOTDIR));
    auto tryCopy = [&](const char* more) {
      Type(*w, more);
      w->Recovery().WriteDueCopy();
      WaitWritten(*w);
      QTest::qWait(50);  // the note waits for the event loop
    };
    tryCopy("a");
    QTRY_COMPARE(prompts_->notes, QStringList{told});
    for (const char* more : {"b", "c"}) tryCopy(more);
    QCOMPARE(prompts_->notes.size(), 1);
    QVERIFY(!w->Recovery().Present());
    QVERIFY(QFile::remove(Folder()));  // the folder can be made again
    tryCopy("d");
    QCOMPARE(Content(), QByteArray("abcdkept\r\n"));
    QCOMPARE(prompts_->notes.size(), 1);
    QVERIFY(QDir(Folder()).removeRecursively());
    WriteAll(Folder(), "not a folder");
    tryCopy("e");
    QTRY_COMPARE(prompts_->notes, (QStringList{told, told}));
    tryCopy("f");
    QCOMPARE(prompts_->notes.size(), 2);
    QVERIFY(w->Modified());
    w->View()->SaveToFile(Path("as typed").toStdString());
    QCOMPARE(ReadAll(Path("as typed")), QByteArray("abcdefkept\r\n"));
    QCOMPARE(ReadAll(Path("doc.txt")), QByteArray("kept\r\n"));
  }
};

QTEST_MAIN(RecoveryCopiesTest)
#include "recovery_copies_test.moc"
