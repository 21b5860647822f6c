// Messages and dialogs above the windows they answer: a window opened while
// one of the program's always-on-top windows (the find and replace windows,
// the data window, the main window with "Поверх других окон") is shown
// stays on top too, so it never opens underneath one of them.
#pragma once

#include <QPointer>
#include <QWidget>
#include <vector>

namespace prambus {

// Whether another visible top-level window of the program stays on top.
bool TopmostWindowShown(const QWidget* except);

// Gives the window the stay-on-top hint when a topmost window is shown; call
// before it is shown.
void KeepAboveTopmostWindows(QWidget* window);

// Takes the visible windows that stay on top, except `except`, off the top,
// telling the desktop without hiding them; returns them for
// RaiseTopmostWindowsAgain.
std::vector<QPointer<QWidget>> LowerTopmostWindows(const QWidget* except);
void RaiseTopmostWindowsAgain(const std::vector<QPointer<QWidget>>& windows);

// Brings a window that has just been shown to the front with the keyboard
// focus on `focus`, shown as keyboard focus is.
void FrontAndFocused(QWidget* window, QWidget* focus);

}  // namespace prambus
