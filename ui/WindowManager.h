#pragma once

#include <QMargins>

class QWidget;

// What the windows ask of the desktop's window manager beyond the toolkit's
// window flags. Where the program does not run on X11, the requests that need
// X11 do nothing.

// A resizable border without a title bar, a frame the window flags have no
// words for. Call it once the window has been created and before it is mapped
// (from its first show event).
void requestBorderWithoutTitle(QWidget *window);

// Sets or clears the urgency hint of a top-level window: while it is set, task
// bars flag the window's button. Setting it also raises the toolkit's alert.
void setUrgent(QWidget *window, bool urgent);

// The widths of the frame that the window manager draws around a shown window;
// zero on every side when there is none.
QMargins frameMargins(const QWidget *window);

// Moves a window that is about to be shown so that its outer frame is centred
// on its owner's. The manager frames a window only once it is shown, so the
// caller gives the frame the window asked for.
void centreOnOwner(QWidget *window, const QMargins &ownFrame);
