#pragma once

class QWidget;

namespace tekkora {

// Where the platform cannot keep the player's files (FileStorage.h: a
// private window that refuses the browser's storage), tells the player so
// once, in a message box over the window, which opens without waiting for
// it; elsewhere does nothing.
void noticeUnkeptFiles(QWidget *window);

} // namespace tekkora
