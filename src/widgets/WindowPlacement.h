#pragma once

class QWidget;

namespace tekkora {

// Opens a top-level window centred on its screen, frame included. A window
// manager frames a window only once it is shown, so until then the frame of
// another visible window of the program stands in for it (the window
// manager frames them alike), or no frame at all for the first window. When
// the window is first exposed its own frame is known, and the window moves
// once more if the frame is not centred yet; it is the player's to move
// after that. Call when the window has its final size, before showing it.
void openCentredOnScreen(QWidget *window);

} // namespace tekkora
