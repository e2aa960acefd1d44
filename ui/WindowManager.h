#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>

class QWidget;

// What the windows ask of the desktop's window manager beyond the toolkit's
// window flags. Where the program does not run on X11, the requests that need
// X11 do nothing.

// A resizable border without a title bar, a frame the window flags have no
// words for. Call it once the window has been created and before it is mapped
// (from its first show event).
void requestBorderWithoutTitle(QWidget *window);

// Whether something gives windows the keyboard as the player moves between
// them: a Wayland compositor, or an X11 window manager that says it keeps track
// of the active window (EWMH: _NET_SUPPORTING_WM_CHECK, with _NET_ACTIVE_WINDOW
// among _NET_SUPPORTED). On a bare X server no window becomes active unless a
// program makes it so.
bool windowsGetTheKeyboard(const QWidget *window);

// Once a box or dialog over `window` has closed: where nothing gives windows
// the keyboard, the window takes it back itself; then, holding back the
// player's input, waits a moment at most until it has it. Only then may the
// next box or dialog open: a window that gets the keyboard asks the desktop to
// activate it, and a request that came once the next dialog had the keyboard
// would have the window flagged as asking for attention.
void takeBackTheKeyboard(QWidget *window);

// Sets or clears the urgency hint of a top-level window: while it is set, task
// bars flag the window's button. Setting it also raises the toolkit's alert.
void setUrgent(QWidget *window, bool urgent);

// The widths of the frame that the window manager draws around a shown window;
// zero on every side when there is none.
QMargins frameMargins(const QWidget *window);

// The outer frame of a window of outer size `box` centred on the owner's outer
// frame, then moved the least distance that puts it wholly on `screen` (a
// window larger than the screen keeps its top-left corner on it).
QRect centredOn(const QRect &owner, QSize box, const QRect &screen);

// Moves a window that is about to be shown to the place centredOn() gives it
// on its owner's screen. The manager frames a window only once it is shown, so
// the caller gives the frame the window asked for.
void centreOnOwner(QWidget *window, const QMargins &ownFrame);

// The outer frame of a box of outer size `box` that leaves the owner's outer
// frame in sight: right of it, else left of it, else below it, tops or left
// edges in line and moved along that edge as far as needed to stay on the
// screen; the first that lies wholly on `screen`. Where none does, centredOn().
QRect besideOwner(const QRect &owner, QSize box, const QRect &screen);

// Moves a window about to be shown to the place besideOwner() gives it on its
// owner's screen, taking `ownFrame` as the frame the manager will draw.
void placeBesideOwner(QWidget *window, const QMargins &ownFrame);
