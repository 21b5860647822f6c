// Times what a user feels in the real main window: each action from the
// input to the repainted frame, on the offscreen platform, for one file.
//   window_actions [--binary] [--utf8] [--only=NAME] [--escape-after=MS]
//                  [--escape-in-wait-after=MS] [--close-after=MS] FILE
//   window_actions [--only=NAME] --unbroken=BYTES
//   window_actions [--only=NAME] --largest
// Prints one line per action (milliseconds), and the peak resident memory
// and the private memory after the open. An action that leaves work for the
// event loop after its frame (the rest of a layout) prints a second line with
// the time until that work is done too. With --binary the file opens in the
// hex view. With --utf8 the document is shown as UTF-8 once loaded (timed)
// and the actions after it type and search UTF-8. --unbroken writes and opens
// a text of one line without a break opportunity (letters only, "qz" every 95
// bytes for the dense replace). --largest opens the largest text a document
// may hold (2^31 - 1 bytes, written under /tmp/prambus-bench on first use and
// kept there). The open also prints the processor time the process took,
// which a busy machine does not inflate as it does the time on the clock.
// --only=NAME
// times only the actions whose name contains NAME ("open" stops after the
// open), so one action can be profiled on its own. With --escape-after,
// Escape is pressed that long into the load, and the run ends; with
// --escape-in-wait-after, Ctrl+End is pressed then (it waits for the whole
// document) and Escape 100 ms into that wait; with --close-after the window is
// closed then. Each times its key or close up to the window given back.
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <cstdio>
#include <functional>
#include <string>

#include "bench_data.h"
#include "encodings/encoding_catalogue.h"
#include "main_window.h"
#include "process_figures.h"
#include "replace_dialog.h"
#include "scripted_prompts.h"
#include "settings/settings.h"
#include "text/cp1251.h"
#include "views/view_base.h"

namespace {

using prambus::MainWindow;
using prambus::bench::StatusKb;

// Counts the paint events of the window's surface, so each timed action can
// tell that it reached a repainted frame.
class PaintCounter : public QObject {
 public:
  int paints = 0;
  QElapsedTimer clock;       // started by each timed action
  qint64 firstPaintNs = -1;  // since the clock started; -1: none yet
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) {
      ++paints;
      if (firstPaintNs < 0 && clock.isValid()) firstPaintNs = clock.nsecsElapsed();
    }
    return false;
  }
};

PaintCounter* counter = nullptr;

// Delivers everything the action left behind (update requests, posted
// events), which paints the frame.
void Settle() {
  for (int i = 0; i < 3; ++i) {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
  }
}

// What an action costs: up to its repainted frame, and up to the end of the
// work it left to the event loop (the same for most actions).
struct Timing {
  double frame = 0, settled = 0;  // milliseconds
};

// Delivers events until the event loop has nothing left to do: Settle, and
// again while timers (the rest of a layout) keep working.
void SettleFully() {
  Settle();
  for (int idle = 0; idle < 3;) {
    QElapsedTimer pass;
    pass.start();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    idle = pass.nsecsElapsed() < 200000 ? idle + 1 : 0;
  }
}

// The time of `action` up to its repainted frame, in milliseconds: the best
// of `repeats` runs, with `undo` run untimed after each but the last.
Timing Frame(const std::function<void()>& action, int repeats = 1,
             const std::function<void()>& undo = {}) {
  Timing best{1e18, 1e18};
  for (int i = 0; i < repeats; ++i) {
    SettleFully();
    const int before = counter->paints;
    counter->firstPaintNs = -1;
    counter->clock.start();
    action();
    Settle();
    const double settledMs0 = static_cast<double>(counter->clock.nsecsElapsed()) / 1e6;
    SettleFully();
    const double settledMs = static_cast<double>(counter->clock.nsecsElapsed()) / 1e6;
    if (counter->paints == before) std::fprintf(stderr, "warning: no frame painted\n");
    const double frameMs =
        counter->firstPaintNs >= 0 ? static_cast<double>(counter->firstPaintNs) / 1e6 : settledMs0;
    counter->clock.invalidate();
    if (frameMs < best.frame) best = {frameMs, settledMs};
    if (undo && i + 1 < repeats) {
      undo();
      SettleFully();
    }
  }
  return best;
}

// Processor time of the whole process so far (user and system), in ms.
double CpuMs() {
  rusage ru{};
  getrusage(RUSAGE_SELF, &ru);
  return (static_cast<double>(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) * 1e6 +
          static_cast<double>(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec)) /
         1e3;
}

long PeakKb() {
  rusage ru{};
  getrusage(RUSAGE_SELF, &ru);
  return ru.ru_maxrss;
}

void Print(const char* name, double ms) {
  std::printf("%-42s %10.3f ms\n", name, ms);
  std::fflush(stdout);
}

std::string only;  // --only=NAME: the actions to time; empty for all

// Times and prints one action unless --only leaves it out; the work it left
// to the event loop after its frame, when that took more than a millisecond,
// on a second line.
void Run(const char* name, const std::function<Timing()>& timed) {
  if (!only.empty() && std::string(name).find(only) == std::string::npos) return;
  const Timing t = timed();
  Print(name, t.frame);
  if (t.settled - t.frame > 1.0) Print((std::string(name) + ", until settled").c_str(), t.settled);
}

// A text of one line with no break opportunity: letters only, with the
// pair "qz" every 95 bytes (the matches of the dense replace).
QString WriteUnbrokenLine(const QString& path, qint64 bytes) {
  std::string text(static_cast<size_t>(bytes), 'a');
  for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>('a' + i % 16);
  for (size_t i = 93; i + 2 <= text.size(); i += 95) text.replace(i, 2, "qz");
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly) ||
      f.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size()))
    return {};
  return path;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  bool binary = false;
  bool utf8 = false;
  qint64 unbrokenBytes = -1;
  qint64 escapeAfterMs = -1, escapeInWaitAfterMs = -1, closeAfterMs = -1;
  QString file;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--binary")
      binary = true;
    else if (a == "--utf8")
      utf8 = true;
    else if (a.rfind("--unbroken=", 0) == 0)
      unbrokenBytes = std::stoll(a.substr(11));
    else if (a == "--largest")
      file = QString::fromStdString(prambus::bench::LargestTextFile());
    else if (a.rfind("--only=", 0) == 0)
      only = a.substr(7);
    else if (a.rfind("--escape-after=", 0) == 0)
      escapeAfterMs = std::stoll(a.substr(15));
    else if (a.rfind("--escape-in-wait-after=", 0) == 0)
      escapeInWaitAfterMs = std::stoll(a.substr(23));
    else if (a.rfind("--close-after=", 0) == 0)
      closeAfterMs = std::stoll(a.substr(14));
    else
      file = QString::fromLocal8Bit(argv[i]);
  }
  QTemporaryDir dataDir;
  if (unbrokenBytes > 0) file = WriteUnbrokenLine(dataDir.filePath("unbroken.txt"), unbrokenBytes);
  if (file.isEmpty()) {
    std::fprintf(stderr,
                 "usage: window_actions [--binary] [--only=NAME] [--escape-after=MS]\n"
                 "       [--escape-in-wait-after=MS] [--close-after=MS] FILE\n"
                 "       window_actions [--only=NAME] --unbroken=BYTES\n"
                 "       window_actions [--only=NAME] --largest\n");
    return 2;
  }
  // A settings file, empty so the defaults apply: without one the window
  // would greet a first start and register itself on the user's desktop.
  QFile(dataDir.filePath("data.dat")).open(QIODevice::WriteOnly);
  PaintCounter paints;
  counter = &paints;

  // Open: "Открыть..." in a window already shown (a binary file in a window
  // switched to the hex view), timed to the first painted frame, which shows
  // the first screen while the rest is still loading, and on to the end of
  // the load, which runs from the event loop.
  const long rssBefore = PeakKb();
  const long privateBefore = StatusKb("RssAnon");
  auto* w = new MainWindow({"prambus"}, dataDir.path());
  prambus::ScriptedPrompts* prompts = &prambus::ScriptedPrompts::InstallOn(*w);
  w->centralWidget()->installEventFilter(&paints);
  w->show();
  w->activateWindow();
  if (!QTest::qWaitForWindowExposed(w)) return 1;
  Settle();
  if (binary) w->Actions().viewKinds[1]->trigger();  // the hex view, as the next file's kind
  prompts->openNames = {file};
  const int paintsBefore = paints.paints;
  QElapsedTimer t;
  const double cpuBefore = CpuMs();
  t.start();
  w->Actions().open->trigger();
  // Only the posted events: the update requests that paint the frame, not the
  // timer that goes on loading.
  while (paints.paints == paintsBefore && t.elapsed() < 600000)
    QCoreApplication::sendPostedEvents();
  Print("open to first frame", static_cast<double>(t.nsecsElapsed()) / 1e6);
  Print("  processor time", CpuMs() - cpuBefore);
  std::printf("%-42s %s\n", "view", w->ViewKind() == 2 ? "hex" : "text");
  // Input waits at most one step of the load: the longest pass of the event
  // loop while it runs is how long a key may wait.
  qint64 longest = 0, last = t.nsecsElapsed();
  while (w->Loading()) {
    if (escapeAfterMs >= 0 && t.elapsed() >= escapeAfterMs) {
      QElapsedTimer e;
      e.start();
      QTest::keyClick(w->centralWidget(), Qt::Key_Escape);
      Print("Escape during the load", static_cast<double>(e.nsecsElapsed()) / 1e6);
      std::printf("%-42s %s\n", "after Escape", w->Loading() ? "still loading" : "stopped");
      break;
    }
    if (escapeInWaitAfterMs >= 0 && t.elapsed() >= escapeInWaitAfterMs) {
      // Timed from when the Escape is due, so the time the key waits for the
      // wait to look at its input counts too.
      constexpr int kEscapeDueMs = 100;
      QElapsedTimer e;
      e.start();
      QTimer::singleShot(kEscapeDueMs, w,
                         [w] { QTest::keyClick(w->centralWidget(), Qt::Key_Escape); });
      QTest::keyClick(w->centralWidget(), Qt::Key_End, Qt::ControlModifier);
      Settle();
      Print("Escape while Ctrl+End waits, to the frame",
            static_cast<double>(e.nsecsElapsed()) / 1e6 - kEscapeDueMs);
      std::printf("%-42s %s\n", "after Escape", w->Loading() ? "still loading" : "stopped");
      return 0;
    }
    if (closeAfterMs >= 0 && t.elapsed() >= closeAfterMs) {
      QElapsedTimer e;
      e.start();
      const bool closed = w->close();
      Print("close during the load", static_cast<double>(e.nsecsElapsed()) / 1e6);
      std::printf("%-42s %s\n", "after close", closed ? "closed" : "still open");
      return 0;
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    longest = std::max(longest, t.nsecsElapsed() - last);
    last = t.nsecsElapsed();
  }
  Print("longest wait for input in the load", static_cast<double>(longest) / 1e6);
  if (escapeAfterMs >= 0) return 0;
  Settle();
  Print("open to fully loaded", static_cast<double>(t.nsecsElapsed()) / 1e6);
  Print("  processor time", CpuMs() - cpuBefore);
  // A copy of the program that already shows the file takes it over, and a
  // file that cannot be read opens nothing: either would time an empty window.
  if (w->FileName() != QFileInfo(file).absoluteFilePath() ||
      w->View()->GetTextLength() != QFileInfo(file).size()) {
    std::fprintf(stderr, "the file did not load into this window (another copy shows it?)\n");
    return 1;
  }
  const long peak = PeakKb();
  std::printf("%-42s %10ld KB (%.2f of the file; %ld KB before)\n", "peak memory after open", peak,
              static_cast<double>(peak) * 1024.0 / static_cast<double>(QFileInfo(file).size()),
              rssBefore);
  // The peak counts the pages of the shared libraries and fonts the process
  // maps (the same pages serve every Qt program); the private memory is what
  // the document and the program itself take, as held after the open (the
  // system keeps no peak of it). A resident size below the peak means the
  // load held more for a while than it keeps.
  std::printf("%-42s %10ld KB\n", "resident memory after open", StatusKb("VmRSS"));
  const long privateKb = StatusKb("RssAnon");
  std::printf("%-42s %10ld KB (%.2f of the file; %ld KB before)\n", "private memory after open",
              privateKb,
              static_cast<double>(privateKb) * 1024.0 / static_cast<double>(QFileInfo(file).size()),
              privateBefore);
  std::printf("%-42s %10ld KB\n", "shared library and font pages", StatusKb("RssFile"));
  if (utf8) {
    QElapsedTimer u;
    u.start();
    w->SelectEncoding(prambus::encoding_id::kUtf8);
    Settle();
    Print("shown as UTF-8, to the frame", static_cast<double>(u.nsecsElapsed()) / 1e6);
  }
  if (only == "open") return 0;

  QWidget* s = w->centralWidget();
  auto key = [s](int k, Qt::KeyboardModifiers m = Qt::NoModifier) {
    QTest::keyClick(s, Qt::Key(k), m);
  };
  prambus::ViewBase* v = w->View();
  const bool hex = w->ViewKind() == 2;

  Run("caret tick with status bar", [&] { return Frame([&] { w->ToggleCaret(); }, 20); });
  Run("PageDown", [&] { return Frame([&] { key(Qt::Key_PageDown); }, 5); });
  Run("Ctrl+End", [&] {
    return Frame([&] { key(Qt::Key_End, Qt::ControlModifier); }, 3,
                 [&] { key(Qt::Key_Home, Qt::ControlModifier); });
  });
  Run("Ctrl+Home", [&] { return Frame([&] { key(Qt::Key_Home, Qt::ControlModifier); }); });

  // The caret to the middle of the document, as a click after scrolling there.
  v = w->View();
  v->SetPosition(0, v->RowCount() / 2, true);
  v->SetPosition(0, v->RowCount() / 2, false);
  w->SyncScrollBars();
  Settle();
  const int typed = hex ? int{Qt::Key_4} : int{Qt::Key_A};
  Run("typed character in the middle", [&] { return Frame([&] { key(typed); }, 10); });
  Run("100 typed characters", [&] {
    return Frame([&] {
      for (int i = 0; i < 100; ++i) key(typed);
    });
  });
  Run("Ctrl+Z", [&] { return Frame([&] { key(Qt::Key_Z, Qt::ControlModifier); }); });
  Run("caret tick after edits", [&] { return Frame([&] { w->ToggleCaret(); }, 20); });

  // A word that is nowhere in the file (the core search benchmark's): the
  // whole document is searched and the note "nothing found" answered at once
  // by the script. The find window's default ignores case.
  const std::string missing = utf8 ? prambus::Cp1251ToUtf8("\xCF\xF0\xE0\xEC\xE1\xF3\xF1zz")
                                   : "\xCF\xF0\xE0\xEC\xE1\xF3\xF1zz";
  Run("search for a missing word",
      [&] { return Frame([&] { w->FindWith(missing, false, false); }, 3); });
  Run("search for a missing word, case-sensitive",
      [&] { return Frame([&] { w->FindWith(missing, true, false); }, 3); });
  prompts->notes.clear();

  Run("resize", [&] {
    return Frame([&] { w->resize(w->width() + 40, w->height() + 30); }, 5,
                 [&] { w->resize(w->width() - 40, w->height() - 30); });
  });

  Run("F6 to the other view", [&] { return Frame([&] { key(Qt::Key_F6); }); });
  if (w->Loading()) {  // a large hex document goes on to the text view in steps
    QElapsedTimer rest;
    rest.start();
    while (w->Loading()) QCoreApplication::processEvents(QEventLoop::AllEvents);
    Print("F6 to the other view, the rest of its steps",
          static_cast<double>(rest.nsecsElapsed()) / 1e6);
  }
  Run("F6 back", [&] { return Frame([&] { key(Qt::Key_F6); }); });

  if (!hex) {
    // "Заменить всё" of a frequent word (the document's first word: the
    // text repeats a small vocabulary) from the start of the document.
    w->ReplaceCommand();
    prambus::ReplaceDialog* r = w->GetReplaceDialog();
    std::string first(w->View()->GetRow(0));
    first = first.substr(0, first.find(' '));
    r->findEdit->setText(QString::fromStdString(prambus::Cp1251ToUtf8(first)));
    r->replaceEdit->setText("X");
    r->fromStart->setChecked(true);
    Settle();
    // An unbroken line has no words: its first row would be the "word".
    if (unbrokenBytes <= 0)
      Run("Заменить всё of a frequent word",
          [&] { return Frame([&] { r->ReplaceAllClicked(); }); });
    // Dense matches: ", " (about 1.4 million in the 100 MB benchmark text),
    // or "qz" every 95 bytes of an unbroken line, each replaced by a longer
    // text, so every row after the first match changes.
    const bool unbroken = unbrokenBytes > 0;
    r->hide();
    w->ReplaceCommand();
    r->findEdit->setText(unbroken ? "qz" : ", ");
    r->replaceEdit->setText(unbroken ? "qzz" : ",  ");
    r->fromStart->setChecked(true);
    Settle();
    const int64_t lengthBefore = w->View()->GetTextLength();
    Run("Заменить всё, dense matches", [&] { return Frame([&] { r->ReplaceAllClicked(); }); });
    std::printf("%-42s %10lld\n", "  replacements made",
                static_cast<long long>(w->View()->GetTextLength() - lengthBefore));
    r->hide();
  }
  std::printf("%-42s %10ld KB\n", "peak memory at the end", PeakKb());
  delete w;
  return 0;
}
