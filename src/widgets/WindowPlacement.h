#pragma once

#include <QRect>

#include <optional>

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

// Opens a top-level window beside another (its frame `other`, in the
// desktop's coordinates), its frame placed as openCentredOnScreen() places
// it: to the right where the work area has room, else to the left, narrowed
// to the room down to its least width; centred where neither side has room.
void openBeside(QWidget *window, const QRect &other);

// A frame of at most `frame`'s size and at least `leastWidth` wide beside
// `other` within `area`: right before left, its top level with other's as
// far as it fits. None where neither side has room.
std::optional<QRect> frameBeside(const QSize &frame, int leastWidth, const QRect &other, const QRect &area);

} // namespace tekkora
