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

// For a window the user asks for again and again (the help): it stays on top
// exactly while another topmost window of the program is shown, so it never
// opens underneath one of them. Works on a shown window too.
void FollowTopmostWindows(QWidget* window);

// Takes the visible windows that stay on top, except `except`, off the top,
// telling the desktop without hiding them; returns them for
// RaiseTopmostWindowsAgain.
std::vector<QPointer<QWidget>> LowerTopmostWindows(const QWidget* except);
void RaiseTopmostWindowsAgain(const std::vector<QPointer<QWidget>>& windows);

// After the owner's native window was made anew (a change of its frame or
// stay-on-top flag), the desktop still takes the windows it owns for windows
// of the old one and no longer keeps them above the owner. It reads that
// relation when a window appears, so the shown tool windows are shown again.
void ReshowOwnedToolWindows(QWidget* owner);

// A desktop forgets a window's stay-on-top state while the window is
// withdrawn (hidden along with its minimized owner) and does not always read
// it again when the window comes back; this tells it again once the window is
// shown. Does nothing for a window without the hint.
void RestateStaysOnTop(QWidget* window);

// Brings a window that has just been shown to the front with the keyboard
// focus on `focus`, shown as keyboard focus is.
void FrontAndFocused(QWidget* window, QWidget* focus);

}  // namespace prambus
