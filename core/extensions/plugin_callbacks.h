// The numbered callbacks a plug-in receives through its get-function. They
// act on the main window and its current view, check every argument, and
// refuse to run outside a plug-in call or on another thread.
#pragma once

#include <cstdint>
#include <string>

#include "prambus/extension.h"
#include "views/view_base.h"

namespace prambus {

// What the callbacks need of the main window.
class ExtensionWindow {
 public:
  virtual ~ExtensionWindow() = default;
  virtual ViewBase* CurrentView() = 0;  // nullptr when there is none
  virtual int CurrentViewKind() const = 0;
  // The window's gate for commands on the whole document: a load still
  // running into the view (a file the plug-in opened, a switch of view) is
  // brought to its end. False when it cannot be: the callback then refuses.
  virtual bool WholeDocument() = 0;
  // The key-down dispatch with a virtual key and shift state (Shift 1, Alt
  // 2, Ctrl 4); false for a key the window cannot press. Both keys and
  // typed characters pass the gate first.
  virtual bool PressKey(int virtualKey, uint8_t shiftState) = 0;
  virtual bool TypeCharacter(uint8_t ch) = 0;          // the key press of a typed character
  virtual void Relayout() = 0;                         // lay out and redraw
  virtual bool OpenFile(const std::string& path) = 0;  // asks first about unsaved changes
  virtual bool SaveFile(const std::string& path) = 0;  // empty: under the current name
  virtual std::string FileName() const = 0;
  // Around a change of cursor or text made directly on the view: hide the
  // caret before; afterwards bring scroll bars and the screen up to date
  // (and after an edit also Undo/Redo; the view's revision marks the
  // document modified).
  virtual void BeforeViewChange() = 0;
  virtual void AfterCursorMove() = 0;
  virtual void AfterEdit() = 0;
};

// While a scope exists the callbacks act on `window`, on the thread that
// made the scope. Scopes nest.
class PluginCallScope {
 public:
  explicit PluginCallScope(ExtensionWindow& window);
  ~PluginCallScope();
  PluginCallScope(const PluginCallScope&) = delete;
  PluginCallScope& operator=(const PluginCallScope&) = delete;
  // A function the plug-in handed to a callback (a line visitor or
  // rewriter) faulted during this scope.
  bool Faulted() const;

  struct State;  // defined beside the callbacks

 private:
  State* state_;
  State* outer_;
};

// The get-function handed to StartProc and StartDopProc (callback 0).
prambus_get_function PluginGetFunction();

}  // namespace prambus
