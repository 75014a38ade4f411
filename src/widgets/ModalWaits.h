#pragma once

class QWidget;

// Whether a modal window may wait in exec() while another one waits below
// it. On the desktop it may. In the browser a wait unwinds the program's
// stack into the page's event loop, and only one can be unwound at a time:
// a later step of a modal window opens with open() instead and goes on from
// its finished signal. One implementation per platform.

namespace tekkora {

bool nestedModalWaits();

// Called once the first window is shown, just before the event loop runs.
// In the browser the page's loop never returns to the level at which objects
// let go during start-up (deleteLater(), as a main window's layout does with
// its finished animations) were queued, so they would stay queued for good,
// and a modal window's wait, which sleeps only once the queue is empty,
// would spin and freeze the page. There they are deleted as soon as the
// page's loop runs. The browser's version also makes each window that opens
// active at once, as the window system does on the desktop, so that no key
// pressed right after goes astray.
void settleStartUp();

// Gives the keys back to `owner` once a modal window over it has closed and
// its wait has returned. On the desktop the window system does. In the
// browser the page hands a key to the active window only, and the drill
// would become active again only at the page's next wake-up, up to a second
// later, losing the player's keys meanwhile.
void returnKeysTo(QWidget *owner);

} // namespace tekkora
