// The main window: owns the one document, held in one view object, the
// off-screen surface the view paints on, the scroll bars, the status bar,
// the menus and the two timers. Its members are defined in one file per
// concern; each group below names its file.
#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QMainWindow>
#include <QPointer>
#include <QScrollBar>
#include <QSizeGrip>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "associations/association_store.h"
#include "encodings/encoding_catalogue.h"
#include "key_table.h"
#include "menu_actions.h"
#include "qt_canvas.h"
#include "settings/stored_state.h"
#include "shell/command_line.h"
#include "shell/document.h"
#include "shell/handover_request.h"
#include "shell/wheel_steps.h"
#include "shell/window_layout.h"
#include "user_prompts.h"
#include "view_menu_item.h"
#include "views/view_base.h"

namespace prambus {

class SurfaceWidget;
class StatusPanelRow;
class FindDialog;
class SearchWindow;
class ReplaceDialog;
class DataWindow;
class ColumnsDialog;
class SkinHost;
class PluginHost;
class RecoveryKeeper;
class ExtensionsDialog;
class AboutDialog;
class HelpWindow;
class FineSettingsDialog;
struct Settings;
class IoError;
class RecentSwitcher;

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  // dataDir: where data.dat is read and written; empty for the program's own
  // places (beside the executable, or the user's configuration folder).
  // The program's command line, read from the bytes it was given: its file
  // is opened by exactly the name the system holds.
  explicit MainWindow(const CommandLine& line, QString dataDir = {});
  // The same with the program's name and the file's as text (a name that is
  // text: the toolkit cannot give back the bytes of any other).
  explicit MainWindow(QStringList arguments, QString dataDir = {});
  ~MainWindow() override;

  // How long the window's size must stay put before the view is laid out
  // anew for its new width.
  static constexpr int kResizeSettleMs = 150;

  // ---- main_window.cpp: the view, layout, redraw, caret, modal steps.
  // The document becomes a new, empty, untitled one in a view of this kind.
  void CreateView(int kind);
  // Gives the document's view, of this kind, its menu items and tool windows.
  void SeatView(int kind);
  // settleWidth: a resize of the window, whose new width reaches the view
  // once the size has settled.
  void FormResize(bool settleWidth = false);
  void SurfaceResized();
  void FullRefresh();
  void Redraw();
  void ToggleCaret();
  void HideCaret();
  void BeforeModalDialog();
  void AfterModalDialog();
  // Replaces how the window asks the user (the real dialogs by default).
  void SetPrompts(std::unique_ptr<UserPrompts> prompts);
  // A plain message, between the modal steps, above the window it answers
  // (`over`; by default the program's active window).
  void ShowNote(const QString& text, QWidget* over = nullptr);

  // Read by tests and by the other shell parts.
  ViewBase* View() const { return doc_.View(); }
  int ViewKind() const { return viewKind_; }
  // The open document: its revision (and so whether it is modified), its
  // file and that file's identity on disk when it was last loaded or saved.
  const Document& Doc() const { return doc_; }
  bool Modified() const { return doc_.Modified(); }
  // The document's file name as text (replacement characters for bytes that
  // are not text); the name itself is Doc().path.
  QString FileName() const;
  const QImage& Surface() const { return surface_; }
  const MenuActions& Actions() const { return actions_; }
  const MainMenus& Menus() const { return menus_; }
  // The encodings the window knows, built-in and loaded.
  const EncodingCatalogue& Encodings() const { return encodings_; }
  // The encoding items of "Кодировка", in the catalogue's order.
  const std::vector<QAction*>& EncodingActions() const { return encodingActions_; }
  QAction* EncodingAction(std::string_view id) const;  // null when the menu lacks it
  const std::vector<ViewMenuItem*>& ViewItems() const { return viewItems_; }
  QScrollBar* VBar() const { return vbar_; }
  QScrollBar* HBar() const { return hbar_; }
  bool CaretShown() const { return caretShown_; }
  QString StatusPanelText(int i) const { return panels_[i]->text(); }
  FindDialog* GetFindDialog() const { return findDialog_; }
  ReplaceDialog* GetReplaceDialog() const { return replaceDialog_; }
  DataWindow* GetDataWindow() const { return dataWindow_; }
  ColumnsDialog* GetColumnsDialog() const { return columnsDialog_; }
  FineSettingsDialog* GetFineSettingsDialog() const { return fineSettings_; }
  // The gate of every command that reads or writes the whole document (save,
  // print, recode, a switch of view, find and replace, the document's
  // information, the plug-ins' callbacks, keys that edit): a load still
  // running is driven to its end first. False when the command must not
  // run: the load failed, Escape gave back the previous document, the window
  // is closing, or the command was reached from inside another command's
  // wait for the load (it is refused with a note once that wait is over).
  bool EnsureWholeDocument();

  // ---- scroll_bars.cpp
  void RecomputeScrollRanges();
  void SyncScrollBars();

  // ---- file_commands.cpp: "Новый", "Открыть...", "Сохранить", "Сохранить как...".
  void NewDocument();
  void OpenWithDialog();
  bool Save();       // false when the document stays modified
  bool SaveAs();     // false when cancelled or failed
  bool AskToSave();  // the unsaved-document question; true when the command must stop

  // ---- document_open.cpp: opening a file (command line, Open, drop, recent list).
  // Throws IoError when the file cannot be read; nothing changes then. A file
  // that cannot be loaded leaves a new, untitled document. False when another
  // copy of the program shows the file and has taken it over.
  bool OpenPath(const std::string& path);
  // Opens a file and takes the whole of it in (a recovery copy, which may
  // be removed once it is in): the load is driven to its end. A file that
  // cannot be loaded gives back the document shown before, with no message
  // (the caller says what failed); Escape during the load stops it.
  enum class WholeLoad { kLoaded, kFailed, kStopped };
  WholeLoad LoadWhole(const std::string& path);
  // The document shown is work recovered for the file at `path` (empty: an
  // untitled one): it takes that name, was never read from that file, and
  // stays modified until it is saved.
  void NameRecoveredDocument(const std::string& path);
  // Puts the cursor at an offset of the document (its end when past it).
  void PlaceCursorAt(uint64_t offset);
  // Opens a file as a drop or a plug-in asks: the unsaved-document question
  // first, a failure reported. True when the file is shown.
  bool OpenDropped(const std::string& path);
  // The hand-over: whether this copy shows the file another copy asks about.
  bool ShowsFile(const HandOverRequest& request) const;
  quint32 WindowHash() const;  // the file's hash other copies ask for; 0 untitled

  // ---- progressive_load.cpp: a file loading in steps after its first screen.
  // A load reads its file in slices of this size and looks at the clock
  // between them: a step of the event loop reads for about 20 ms.
  static constexpr size_t kLoadSliceBytes = size_t(1) << 20;
  bool Loading() const { return doc_.load != nullptr; }
  // Stops a running load and gives back the document shown before it.
  void CancelLoading();
  QString LoadProgressText() const;  // empty when no load runs

  // ---- disk_changes.cpp: the document's file changed or gone behind its back.
  // Looks at the file as the window is activated and asks what to do.
  void CheckDiskFile();

  // ---- exit_command.cpp: "Выход" and closing the window.
  void Exit();

  // ---- edit_commands.cpp: the commands of "Правка" but the find commands.
  void Undo();
  void Redo();
  void Cut();
  void Copy();
  void Paste();
  void SelectAll();

  // ---- find_commands.cpp: "Найти...", "Заменить...", "Найти следующий" (F3).
  void FindCommand(bool byShortcut = false);
  void ReplaceCommand(bool byShortcut = false);
  void FindNextCommand();
  void FindWith(const std::string& text, bool caseSensitive, bool fromCursor,
                QWidget* answering = nullptr);
  // A number by its bytes in the hex view; name says what was looked for.
  void FindNumber(const std::string& bytes, const std::string& name, bool fromCursor,
                  QWidget* answering = nullptr);
  void AfterSearch();
  void AfterReplace();
  void AfterFindDialogHidden();

  // ---- go_to_command.cpp: "Перейти..." (Ctrl+G); from the keyboard the
  // dialog is centred on the window, else at the pointer.
  void GoToCommand(bool byShortcut = false);

  // ---- checksum_command.cpp: "Контрольные суммы...".
  void ChecksumCommand();

  // ---- window_modes.cpp: status bar, minimal mode (F2), stay-on-top (F4).
  void ToggleStatusBar();
  void ToggleMinimalMode(bool withWarning = true);
  void ToggleStayOnTop();

  // ---- view_switching.cpp: "Просмотрщик" and F6.
  void SwitchView(int tableIndex);

  // ---- encoding_commands.cpp: "Кодировка" and F8.
  bool SelectEncoding(std::string_view id);  // false when removed or refused for display
  // The document is shown as UTF-8 characters (its encoding is UTF-8); the
  // view follows once SelectEncoding installs it.
  bool ShowsUtf8() const;
  bool ViewShowsUtf8() const;
  // Text typed in a window as the document holds it: UTF-8 or Windows-1251.
  std::string ToDocumentText(const QString& text) const;
  void SelectNextEncoding();
  bool AddLoadedEncoding(const QString& path, const QString& name);
  void RemoveLoadedEncoding(std::string_view id);
  void LoadEncodingCommand();

  // ---- recode_command.cpp: "Перекодировка...".
  void RecodeCommand();

  // ---- fine_settings_command.cpp: "Тонкая настройка..." and what its "Готово" changes.
  void FineSettingsCommand();
  void ApplyFineSettings(const Settings& before);
  void ApplyMinimalModeShortcut();  // F12 when F2 saves, otherwise F2

  // ---- print_command.cpp: "Печать..." and Ctrl+P.
  void PrintCommand();

  // ---- font_command.cpp and help_command.cpp: "Шрифт...", F1.
  void ChooseFont();
  void OpenHelp();
  // A help page (kHelpFileName, kExtensionsGuideFileName) in the help window.
  void ShowHelpPage(const char* fileName);
  HelpWindow* GetHelpWindow() const { return helpWindow_.get(); }

  // ---- recent_files.cpp: the recent files in "Файл" (rebuilt as it opens).
  void RebuildRecentMenu();
  // Opens entry index of the recent list; a file that cannot be read leaves
  // the list and the current document stays.
  void OpenRecentItem(int index);
  // The recent items of the last rebuild, in list order ("Файл" or its submenu).
  const std::vector<QAction*>& RecentItems() const { return recentItems_; }
  // recent_switcher.cpp: the Ctrl+Tab switcher and its Tab filter.
  RecentSwitcher* Switcher() const { return switcher_; }

  // ---- pinned_files_command.cpp: "Закрепить внешний вид за файлами...".
  void PinnedFilesCommand();

  // ---- document_info_command.cpp: "Информация о документе..." and Ctrl+I;
  // from the keyboard the box is centred on the window, else at the pointer.
  void DocumentInfoCommand(bool fromKeyboard = false);

  // ---- hex_tool_windows.cpp: the hex view's data window and columns dialog.
  void AfterDataEdit();
  // A beep and a note saying what failed (once the window is on the screen);
  // in file_commands.cpp.
  void ReportFailure(const std::string& text);
  void DataWindowClosed();

  // ---- key_dispatch.cpp: keys and typed characters.
  void KeyDown(int key, Qt::KeyboardModifiers mods);
  void KeyPress(uint8_t ch);
  void KeyPressUtf8(std::string_view ch);  // one character typed into a UTF-8 document
  // The view's text for other programs and back: UTF-8 or Windows-1251.
  QString TextForClipboard(const std::string& text) const;
  std::string TextFromClipboard() const;
  bool DispatchKeyEvent(QKeyEvent* e);
  // What a press runs: the menu action whose shortcut it is, else a key of
  // the table of keys without menu items (with the fine settings in effect).
  KeyCommand CommandOfKey(int key, uint8_t shiftState) const;
  // Every key binding in effect now: the menu commands', the table's and
  // the view's own items'.
  std::vector<BoundKey> KeyBindingsInEffect() const;

  // ---- skin_host.*, plugin_host.*: skins and plug-ins. The folders searched
  // for them at the first show: by default beside the program, the
  // installed library folder and the user's data folder.
  SkinHost& Skins() { return *skins_; }
  PluginHost& Plugins() { return *plugins_; }
  // ---- recovery_keeper.*: recovery copies of the modified document.
  RecoveryKeeper& Recovery() { return *recovery_; }
  // ---- session_end.cpp: the session ends (SIGTERM, SIGHUP): the last copy
  // of a modified document and data.dat are written, and the program ends
  // without asking.
  void EndSession();
  void SetExtensionFolders(std::vector<std::string> folders) {
    extensionFolders_ = std::move(folders);
  }

  // ---- association_commands.cpp: "Закрепить за расширениями...", the welcome
  // window of the first start, "О программе...".
  void ExtensionsCommand();
  void AboutCommand();
  AssociationStore& Associations();  // the desktop's, made at first use
  ExtensionsDialog* GetExtensionsDialog();
  AboutDialog* GetAboutDialog();

  // ---- settings_io.cpp: the stored state (window appearances, recent files,
  // bindings, encodings) and data.dat.
  StoredState& State() { return state_; }
  void CaptureWindowState();
  bool SaveSettings();
  // A change the user made to the settings goes to data.dat at once, so a
  // killed program or a logout keeps it; the window's own state and the
  // recent list are still written at exit.
  void StoreSettingsChange() { SaveSettings(); }
  QString DataFileForReading() const;
  QString DataFileForWriting() const;

 protected:
  bool event(QEvent* e) override;                    // main_window.cpp
  void showEvent(QShowEvent* e) override;            // main_window.cpp
  void changeEvent(QEvent* e) override;              // main_window.cpp
  void closeEvent(QCloseEvent* e) override;          // exit_command.cpp
  void dragEnterEvent(QDragEnterEvent* e) override;  // document_open.cpp
  void dropEvent(QDropEvent* e) override;            // document_open.cpp

 private:
  friend class SurfaceWidget;
  // The extension hosts (skin_host.cpp, plugin_host.cpp, plugin_callbacks.cpp,
  // recovery_offer.cpp) act on the window as its own commands do.
  friend class SkinHost;
  friend class PluginHost;
  friend class RecoveryKeeper;
  friend class PassWait;
  friend class PluginWindowAdapter;
  friend void OfferRecoveryCopies(MainWindow& window);
  friend void OfferInterruptedSaves(MainWindow& window);

  // main_window.cpp
  void OnFirstShow();
  void PaintClient(QPainter& p);
  void DrawCaret();
  void ActivateHandler();
  void DeactivateHandler();
  // In or out of the topmost band, keeping the window where it is.
  void SetTopmost(bool on);
  // Back into the topmost band when "Поверх других окон" is on and no find
  // or replace window is open (they keep the main window out of it).
  void RestoreTopmost();
  // The window a question or message answers: the active one of this
  // program's windows, else this one.
  QWidget* PromptParent();
  void BackTo(QWidget* answered);
  // A question in the program's message box, centred on this window and
  // between the modal steps: 1000 + button, or 2.
  int Ask(const QString& caption, const QString& text, const QStringList& buttons);
  // The same before this window has its place: centred on the screen, as
  // the notes of that moment are.
  int AskBeforeShown(const QString& caption, const QString& text, const QStringList& buttons);
  bool StartAfreshFromDamaged(const QString& path);  // settings_io.cpp
  // menu_bar.cpp
  void BuildMenus();
  void GiveKeyboardBackFromMenuBar();  // after Escape closed a menu of the bar
  void BuildViewKindMenu();
  void RebuildEncodingMenu();  // encoding_menu.cpp
  void ConnectFeatureCommands();
  // An item; its shortcut is the key the window's key dispatch runs it by.
  QAction* AddAction(QMenu* menu, const QString& caption, const QString& shortcut = {},
                     std::function<void()> command = {}, KeyMatch match = KeyMatch::kExact);
  QAction* AddToggle(QMenu* menu, const QString& caption, const QString& shortcut,
                     std::function<void()> toggle, KeyMatch match = KeyMatch::kExact);
  void RunEditingKey(EditingKey editing, uint8_t shiftState);  // key_dispatch.cpp
  // status_bar.cpp
  void BuildStatusBar();
  void RefreshStatusBar();
  // scroll_bars.cpp
  void ScrollBarChanged(bool vertical);
  void ScrollBarStepped(bool vertical, int action);
  // Scrolls the view and the vertical bar to a position (clamped).
  void ScrollVerticallyTo(int64_t position);
  void SyncAfterMove();
  // view_menu.cpp: the view's own menu items.
  void PlaceViewItems(const ViewMenuActions& actions);
  void RefreshViewMenuItems();
  void ClickViewItem(ViewMenuItem* item);
  void FreeViewItems();
  void ApplyChecks(const std::vector<bool>& checks);
  std::vector<bool> CurrentChecks() const;
  // window_title.cpp
  void RefreshTitle();                              // from the file name and the modified flag
  void FollowRevision();                            // the title's mark, when it changed
  static QString TitleOf(const std::string& path);  // "name - Прамбус", untitled for ""
  // Makes `next` the window's document, its revision watched for the title's
  // mark, and returns the one it replaces.
  Document SwapDocument(Document next);
  // A file name as the file system takes it, from the toolkit's text of it,
  // and back (lossy for a name that is not text).
  static std::string NativePath(const QString& path);
  static QString ShownPath(const std::string& path);
  // document_open.cpp
  void OpenCommandLineFile(const std::string& path);
  // The bytes of the file a dialog's answer names (see BytesOfChosenName);
  // nothing, with a note, when the answer fits two files.
  std::optional<std::string> ChosenPath(const QString& chosen);
  // The window's appearance from a record: placement, visibility, look and
  // the modes (warnOnMinimal: the one-time warning of minimal mode).
  void ApplyAppearance(const WindowAppearance& record, bool warnOnMinimal);
  // deferred_layout.cpp
  void ContinueLayoutLater();  // once the frame is shown, when an edit left layout to do
  void LayoutStep();
  // progressive_load.cpp
  struct PreviousDocument;
  void BeginLoading(std::unique_ptr<PreviousDocument> previous);
  void LoadStep();
  bool LoadUntil(const std::function<bool()>& enough);
  void EndLoading();
  void NoteLineEndConversion();  // a file opened whose line ends saving would change
  void FailLoading();
  void ShowLoadProgress();
  void PlaceLoadProgress();
  // The first screen is shown: the rest of the load goes on from the event loop.
  void ContinueLoadingInSteps();
  void ApplyPendingCursor();
  bool PendingCursorLoaded() const;  // its row is whole, or there is none to wait for
  bool FirstScreenLoaded() const;
  // view_switching.cpp: a large hex document goes to the text view in steps.
  void SwitchToTextInSteps(int tableIndex, int kind, int offset);
  // The document shown so far goes aside, with what the window showed it
  // with; `next` takes its place.
  std::unique_ptr<PreviousDocument> SetDocumentAside(Document next = Document());
  // Drives the load to its end, serving Escape and the close meanwhile (the
  // work of EnsureWholeDocument).
  bool FinishLoading();
  // Whether a key acts only within the part of the document already loaded.
  bool KeyStaysInLoadedPart(int key, Qt::KeyboardModifiers mods) const;
  // Every menu command runs on the whole document: a running load ends first,
  // and the command is dropped when that wait is cut short.
  void ConnectCommand(QAction* action, std::function<void()> command);
  // file_commands.cpp
  bool WriteDocument(const std::string& path);
  // The document was saved under this name: it is now that file's.
  void NameSavedDocument(const std::string& path);
  void RebuildDialogFilters();
  void ReportCannotOpen(const std::string& path, const IoError& e);
  // disk_changes.cpp
  void QueueDiskCheck();  // a look at the file once the activation is handled
  // Before the document is written over its file: a file another program
  // changed since is written over only when the user says so.
  enum class OverwriteAnswer { kWrite, kSaveAs, kCancel };
  OverwriteAnswer AskBeforeWritingOverFile();
  // Loads the file anew in place of the document, keeping the cursor's line.
  void ReloadFromDisk();
  // exit_command.cpp
  bool SaveSettingsAndQuit();
  bool MayEnd();  // false when the program must go on
  // edit_commands.cpp
  void HistoryStep(bool redo);
  // The tail of every edit: scroll ranges, Undo and Redo, the screen.
  void EditTail();
  // Whether `bytes` typed or pasted over the selection keep the document
  // within its largest size; when not, the user is told, nothing changes.
  bool RoomToReplaceSelection(int64_t bytes);
  // Tells the user about an edit the view refused, as too long or for want
  // of memory, once.
  void ReportRefusedEdit();
  void PutOnClipboard(const std::string& text);
  // find_commands.cpp
  void BeforeSearchWindow(SearchWindow* window);
  void RefreshUndoRedo();
  // mouse_input.cpp
  void MousePress(QMouseEvent* e);
  void MouseMove(QMouseEvent* e);
  void MouseRelease(QMouseEvent* e);
  void MouseDoubleClick(QMouseEvent* e);
  void Wheel(QWheelEvent* e);
  void AutoScrollTick();
  // A point of the document: y counts from its top in 64 bits.
  struct DocumentPoint {
    int x;
    int64_t y;
  };
  DocumentPoint ContentPoint(int x, int y) const;
  // encoding_commands.cpp
  void RestoreLoadedEncodings();
  std::string OpeningEncodingOf(const std::string& path, const WindowAppearance* pinned) const;
  void ShowEncodingChecks();
  void InstallCharTable(const CodeTable& table, bool utf8);
  // recode_command.cpp
  bool RecodeTable(const EncodingEntry& entry, bool target, CodeTable& table);
  // hex_tool_windows.cpp
  void AttachHexView();
  // The hooks of a hex view that leaves the window (its windows are gone).
  static void DetachHexView(ViewBase* view);
  void FollowMinimized();
  void CloseHexToolWindows();  // the data window and the columns dialog
  // window_modes.cpp: the frame of each mode; at start-up the stored ones.
  void ApplyMinimalMode(bool on);
  QPoint frameOffset_;  // the surface's place inside the frame, seen before minimal mode
  void ApplyStayOnTop(bool on);
  // Sets or clears the stay-on-top hint, which makes the native window anew,
  // keeping the window's surface exactly where it was.
  void SetStaysOnTopInPlace(bool on);
  bool nativeWindowMade_ = false;  // since the last show
  void ApplyStartModes();
  // association_commands.cpp
  void RunFirstStartWelcome();
  void KeepBoundExtensions();  // drops the bindings the desktop no longer has
  // settings_io.cpp
  bool LoadSettings();  // true when no settings were read: a new data.dat is due
  void ApplyWindowState(const WindowAppearance& w, bool restoreBounds);
  void RestoreBounds(const WindowAppearance& w);
  void ApplyPlacement(const WindowAppearance& w);
  void ApplyLook(const WindowAppearance& w);
  // The live window appearance: bounds, state, modes, view kind, checks,
  // skin and colour, encoding, status bar.
  WindowAppearance CurrentAppearance() const;
  void PushCurrentToRecent();

  std::string commandLineFile_;  // the file named on the command line; empty: none
  QString dataDir_;
  StoredState state_;
  std::unique_ptr<UserPrompts> prompts_;

  // Skins and plug-ins.
  std::unique_ptr<SkinHost> skins_;
  std::unique_ptr<PluginHost> plugins_;
  std::unique_ptr<RecoveryKeeper> recovery_;
  std::vector<std::string> extensionFolders_;

  // The document, and its view as the commands reach it: read through the
  // document, which alone replaces it (so that its revision goes on across
  // a switch of view).
  Document doc_;
  class ViewHandle {
   public:
    explicit ViewHandle(const Document& doc) : doc_(doc) {}
    ViewBase* get() const { return doc_.View(); }
    ViewBase* operator->() const { return doc_.View(); }
    ViewBase& operator*() const { return *doc_.View(); }
    explicit operator bool() const { return doc_.View() != nullptr; }

   private:
    const Document& doc_;
  };
  ViewHandle view_{doc_};
  int viewKind_ = 0;          // the kind the view's menu items are placed for
  bool titleMarked_ = false;  // the title shows the modified mark
  QImage surface_;
  QtCanvas canvas_;
  int lastClientWidth_ = -1;
  bool caretShown_ = false;
  int desiredColumn_ = -1;
  bool byShortcut_ = false;  // a key is running its menu command
  bool shownOnce_ = false;
  bool ending_ = false;
  bool askingToEnd_ = false;         // the question of MayEnd is up
  bool handedOver_ = false;          // another copy took the command-line file
  bool dataFileUnreadable_ = false;  // the data.dat to write could not be read (whole): left alone

  // Widgets and timers.
  SurfaceWidget* central_ = nullptr;
  QScrollBar* vbar_ = nullptr;
  QScrollBar* hbar_ = nullptr;
  QSizeGrip* grip_ = nullptr;
  StatusPanelRow* statusRow_ = nullptr;
  std::array<QLabel*, 6> panels_{};  // its labels
  ScrollRange vrange_, hrange_;
  int vLargeChange_ = 0, hLargeChange_ = 0;  // a click on a scroll bar's trough
  QTimer* caretTimer_ = nullptr;
  QTimer* autoScrollTimer_ = nullptr;
  QTimer* relayoutTimer_ = nullptr;  // the view's new width once resizing stops
  QTimer* layoutTimer_ = nullptr;    // the layout an edit left, in steps (deferred_layout.cpp)

  // What the window showed before a load in steps (the load is the document's).
  std::unique_ptr<PreviousDocument> previous_;
  QTimer* loadTimer_ = nullptr;
  QLabel* loadProgress_ = nullptr;
  QElapsedTimer loadClock_;
  bool pendingCursor_ = false;  // the remembered cursor, set once its row has loaded
  // The cursor a reload keeps (column, row), in place of the remembered one.
  std::optional<std::pair<int, int>> reloadCursor_;
  bool diskCheckQueued_ = false;
  bool diskAsking_ = false;  // a question about the file on disk is up
  int pendingCol_ = 0, pendingRow_ = 0;
  int pendingOffset_ = -1;     // a switch's cursor offset, set once its row has loaded
  bool loadIsSwitch_ = false;  // the load is a view switch, not a file being opened
  // Set around opening a recovery copy: a load that fails gives back the
  // document shown before, silently (the caller says what failed), and
  // loadFailed_ tells it so.
  bool loadGivesBack_ = false;
  bool loadFailed_ = false;
  bool waitingForLoad_ = false;  // a command waits in FinishLoading
  bool refusedInWait_ = false;   // a command reached inside that wait was refused
  bool passRunning_ = false;     // a command's pass over the document serves events (PassWait)
  bool refusedInPass_ = false;   // a command reached inside that pass was refused

  // The open and save dialogs.
  QString dialogFilter_ = "Текстовые файлы (*.txt);;Все файлы (*.*)";
  QString openFolder_;

  // Find and replace.
  FindDialog* findDialog_ = nullptr;
  ReplaceDialog* replaceDialog_ = nullptr;
  std::string lastSearch_;  // the text F3 searches for (Windows-1251)
  // Or the number it searches for, as bytes, with its name for messages.
  std::string lastNumber_, lastNumberName_;

  // The recent files' menu items and the Ctrl+Tab switcher.
  std::vector<QAction*> recentItems_;
  RecentSwitcher* switcher_ = nullptr;

  // File-type associations and the About window.
  std::unique_ptr<AssociationStore> associations_;
  ExtensionsDialog* extensionsDialog_ = nullptr;
  AboutDialog* aboutDialog_ = nullptr;
  int modalDepth_ = 0;                             // modal steps begun and not yet ended
  std::vector<QPointer<QWidget>> loweredWindows_;  // taken off the top for them
  std::unique_ptr<HelpWindow> helpWindow_;

  // The hex view's tool windows.
  DataWindow* dataWindow_ = nullptr;
  ColumnsDialog* columnsDialog_ = nullptr;

  // "Тонкая настройка", created when first asked for.
  FineSettingsDialog* fineSettings_ = nullptr;

  // The mouse.
  bool middleHeld_ = false, leftDrag_ = false;
  int distTop_ = 0, distBottom_ = 0, distLeft_ = 0, distRight_ = 0;
  double accH_ = 0, accV_ = 0;
  QPoint lastMouse_;
  WheelSteps wheelSteps_;

  // Menus and their items.
  MainMenus menus_;
  MenuActions actions_;
  std::vector<std::pair<QAction*, KeyMatch>> keyedActions_;  // the actions with shortcuts
  EncodingCatalogue encodings_;
  std::vector<QAction*> encodingActions_;  // the items of "Кодировка", in catalogue order
  std::vector<ViewMenuItem*> viewItems_;
  int formatInserted_ = 0;  // view items placed in "Формат"
  int extraInserted_ = 0;   // view items placed in "Дополнительно"
};

}  // namespace prambus
