// The main window: owns the one document, held in one view object, the
// off-screen surface the view paints on, the scroll bars, the status bar,
// the menus and the two timers.
#pragma once

#include <QImage>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QScrollBar>
#include <QSizeGrip>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "associations/association_store.h"
#include "qt_canvas.h"
#include "settings/stored_state.h"
#include "shell/window_layout.h"
#include "view_menu_item.h"
#include "views/view_base.h"

namespace prambus {

class SurfaceWidget;
class FindDialog;
class ReplaceDialog;
class DataWindow;
class ColumnsDialog;
class ExtensionsDialog;
class AboutDialog;

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  // dataDir: where data.dat is read and written; empty for the program's own
  // places (beside the executable, or the user's configuration folder).
  explicit MainWindow(QStringList arguments, QString dataDir = {});
  ~MainWindow() override;

  // Operations offered to the rest of the shell.
  void CreateView(int kind);
  void SetModified(bool m);
  bool AskToSave();  // true when the calling command must stop
  void FullRefresh();
  void Redraw();
  void ToggleCaret();
  void HideCaret();
  void BeforeModalDialog();
  void AfterModalDialog();
  void FormResize();
  void RecomputeScrollRanges();
  void SyncScrollBars();

  // Read by tests and by the other shell parts.
  ViewBase* View() const { return view_.get(); }
  int ViewKind() const { return viewKind_; }
  bool Modified() const { return modified_; }
  const QString& FileName() const { return fileName_; }
  const QImage& Surface() const { return surface_; }
  QMenu* FileMenu() const { return fileMenu_; }
  QMenu* EditMenu() const { return editMenu_; }
  QMenu* FormatMenu() const { return formatMenu_; }
  QMenu* ExtraMenu() const { return extraMenu_; }
  QMenu* ContextMenu() const { return contextMenu_; }
  QScrollBar* VBar() const { return vbar_; }
  QScrollBar* HBar() const { return hbar_; }
  bool CaretShown() const { return caretShown_; }
  QTimer* CaretTimer() const { return caretTimer_; }
  const std::vector<ViewMenuItem*>& ViewItems() const { return viewItems_; }
  QString StatusPanelText(int i) const { return panels_[i]->text(); }

  // Commands.
  void Exit();
  void SwitchView(int tableIndex);
  void NewDocument();
  void OpenWithDialog();
  bool Save();    // false when the document stays modified
  bool SaveAs();  // false when cancelled or failed
  // Opens a file (the command line, Open, drop, recent list). Throws IoError
  // when the file cannot be read; nothing changes then.
  void OpenPath(const QString& path);
  void OpenDropped(const QString& path);
  void Undo();
  void Redo();
  void Cut();
  void Copy();
  void Paste();
  void SelectAll();
  void ChooseFont();
  void OpenHelp();
  void ToggleStatusBar();
  void ToggleMinimalMode(bool withWarning = true);
  void ToggleStayOnTop();
  void SelectEncoding(int position);
  // Find and replace.
  void FindCommand();
  void ReplaceCommand();
  void FindNextCommand();
  void FindWith(const std::string& text, bool caseSensitive, bool fromCursor);
  void AfterSearch();
  void AfterReplace();
  void AfterFindDialogHidden();
  void ShowNote(const QString& text);  // a plain message between the modal steps
  FindDialog* GetFindDialog() const { return findDialog_; }
  ReplaceDialog* GetReplaceDialog() const { return replaceDialog_; }
  QAction* FindNextAction() const { return findNextAction_; }
  // The hex view's windows.
  void AfterDataEdit();
  void DataWindowClosed();
  DataWindow* GetDataWindow() const { return dataWindow_; }
  ColumnsDialog* GetColumnsDialog() const { return columnsDialog_; }
  bool AddLoadedEncoding(const QString& path, const QString& name);
  void RemoveLoadedEncoding(int position);
  void LoadEncodingCommand();
  void RecodeCommand();
  // Chooses in the recode dialog for tests; returns the dialog's result.
  std::function<int(class RecodeDialog&)> recodeChoiceForTest;
  // Keys and characters as the main window's dispatch takes them.
  void KeyDown(int key, Qt::KeyboardModifiers mods);
  void KeyPress(uint8_t ch);
  bool DispatchKeyEvent(QKeyEvent* e);
  bool HandedOver() const { return handedOver_; }
  // The hand-over: whether this copy shows the file with this title and hash.
  bool ShowsFile(const QString& title, quint32 hash) const;
  quint32 WindowHash() const { return windowHash_; }
  QAction* UndoAction() const { return undoAction_; }
  QAction* RedoAction() const { return redoAction_; }
  QAction* MinimalAction() const { return minimalAction_; }
  QAction* StayOnTopAction() const { return stayOnTopAction_; }
  QAction* StatusBarAction() const { return statusBarAction_; }
  const std::vector<QAction*>& EncodingActions() const { return encodingActions_; }
  // Hot keys of plug-ins: (key, exact shift state); the first match runs.
  struct PluginHotKey {
    int key;
    int shiftState;  // Shift 1, Alt 2, Ctrl 4
    std::function<void()> run;
  };
  std::vector<PluginHotKey>& PluginHotKeys() { return pluginHotKeys_; }
  // Answers of the unsaved-document prompt, for tests: 1000 + button or 2.
  std::function<int()> promptAnswerForTest;
  std::function<QString()> saveAsNameForTest;

  // File-type associations and the About window (association_commands.cpp).
  void ExtensionsCommand();
  void AboutCommand();
  AssociationStore& Associations();
  ExtensionsDialog* GetExtensionsDialog();
  AboutDialog* GetAboutDialog();

  // The stored state (window appearances, recent files, bindings, encodings).
  StoredState& State() { return state_; }
  void CaptureWindowState();
  bool SaveSettings();
  QString DataFileForReading() const;
  QString DataFileForWriting() const;

 protected:
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void changeEvent(QEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dropEvent(QDropEvent* e) override;

 private:
  friend class SurfaceWidget;
  void BuildMenus();
  void BuildStatusBar();
  QAction* AddAction(QMenu* menu, const QString& caption, const QString& shortcut = {});
  void OnFirstShow();
  void PaintClient(QPainter& p);
  void DrawCaret();
  void ScrollBarChanged(bool vertical);
  void RefreshStatusBar();
  void RefreshViewMenuItems();
  void ClickViewItem(ViewMenuItem* item);
  void FreeViewItems();
  void SetTitle(const QString& title);
  void ActivateHandler();
  void DeactivateHandler();
  bool SaveSettingsAndQuit();
  void OpenCommandLineFile(const QString& path);
  void WireMenuCommands();
  void EditTail(bool rowsChanged);
  void SyncAfterMove();
  void RefreshUndoRedo();
  void MousePress(QMouseEvent* e);
  void MouseMove(QMouseEvent* e);
  void MouseRelease(QMouseEvent* e);
  void MouseDoubleClick(QMouseEvent* e);
  void Wheel(QWheelEvent* e);
  void AutoScrollTick();
  Point ContentPoint(int x, int y) const;
  bool WriteDocument(const QString& path);
  void ShowPlainMessage(const QString& text);
  void RebuildDialogFilters();
  void RestoreLoadedEncodings();
  bool RecodeTable(int entry, bool target, CodeTable& table);
  void LoadSettings();
  void RunFirstStartWelcome();
  void KeepBoundExtensions();
  void ApplyWindowState(const WindowAppearance& w, bool restoreBounds);
  void ApplyChecks(const std::vector<bool>& checks);
  std::vector<bool> CurrentChecks() const;
  int CheckedEncodingIndex() const;
  void PushCurrentToRecent();

  QStringList arguments_;
  QString dataDir_;
  StoredState state_;
  std::unique_ptr<AssociationStore> associations_;
  ExtensionsDialog* extensionsDialog_ = nullptr;
  AboutDialog* aboutDialog_ = nullptr;
  std::vector<PluginHotKey> pluginHotKeys_;
  DataWindow* dataWindow_ = nullptr;
  ColumnsDialog* columnsDialog_ = nullptr;
  void AttachHexView();
  void CloseHexToolWindows();  // the data window and the columns dialog
  FindDialog* findDialog_ = nullptr;
  ReplaceDialog* replaceDialog_ = nullptr;
  std::string lastSearch_;  // the text F3 searches for (Windows-1251)
  bool lastSearchCase_ = false;
  bool openedByShortcut_ = false;  // the find windows' tag: opened with Ctrl held
  SurfaceWidget* central_ = nullptr;
  QScrollBar* vbar_ = nullptr;
  QScrollBar* hbar_ = nullptr;
  QSizeGrip* grip_ = nullptr;
  std::array<QLabel*, 6> panels_{};
  QImage surface_;
  QtCanvas canvas_;
  std::unique_ptr<ViewBase> view_;
  int viewKind_ = 0;
  bool modified_ = false;
  QString fileName_;
  int openDuration_ = -1;
  quint32 windowHash_ = 0;
  QString dialogFilter_ = "Текстовые файлы (*.txt);;Все файлы (*.*)";
  int saveFilterIndex_ = 1;
  QString openFolder_;
  // Mouse state.
  bool middleHeld_ = false, leftDrag_ = false, skipNextMouseUp_ = false, afterDoubleClick_ = false;
  int distTop_ = 0, distBottom_ = 0, distLeft_ = 0, distRight_ = 0;
  double accH_ = 0, accV_ = 0;
  QPoint lastMouse_;
  bool caretShown_ = false;
  int desiredColumn_ = -1;
  int lastClientWidth_ = -1;
  bool shownOnce_ = false;
  bool ending_ = false;
  bool handedOver_ = false;  // another copy took the command-line file
  ScrollRange vrange_, hrange_;
  int vLargeChange_ = 0, hLargeChange_ = 0;
  QTimer* caretTimer_ = nullptr;
  QTimer* autoScrollTimer_ = nullptr;

  // Menus and their items.
  QMenu* fileMenu_ = nullptr;
  QMenu* editMenu_ = nullptr;
  QMenu* formatMenu_ = nullptr;
  QMenu* extraMenu_ = nullptr;
  QMenu* pluginsMenu_ = nullptr;
  QMenu* helpMenu_ = nullptr;
  QMenu* contextMenu_ = nullptr;
  QMenu* viewSubmenu_ = nullptr;
  QMenu* contextViewSubmenu_ = nullptr;
  QMenu* encodingMenu_ = nullptr;
  QMenu* skinsMenu_ = nullptr;
  QAction* undoAction_ = nullptr;
  QAction* redoAction_ = nullptr;
  QAction* cutAction_ = nullptr;
  QAction* copyAction_ = nullptr;
  QAction* pasteAction_ = nullptr;
  QAction* findNextAction_ = nullptr;
  QAction* printAction_ = nullptr;
  QAction* statusBarAction_ = nullptr;
  QAction* minimalAction_ = nullptr;
  QAction* contextMinimalAction_ = nullptr;
  QAction* stayOnTopAction_ = nullptr;
  std::vector<QAction*> viewKindActions_;         // in "Формат"
  std::vector<QAction*> contextViewKindActions_;  // in the context menu
  std::vector<QAction*> encodingActions_;  // encoding items, "Загрузить из файла..." last
  std::vector<ViewMenuItem*> viewItems_;
  int formatInserted_ = 0;  // view items placed in "Формат"
  int extraInserted_ = 0;   // view items placed in "Дополнительно"
};

}  // namespace prambus
