#pragma once
// Where the program's windows stand and how big they may get, whatever the window manager does.
class QWidget;

namespace vrelmont::ui {

// Moves `window` so that its frame, title bar included, stands in the centre of its screen's
// available area.
void CentreOnScreen(QWidget *window);

// Centres `window` at every showing, not only the first. The frame is measured once the window
// manager has put it around the window; until then the frame of a window shown earlier is assumed.
void KeepCentredAtEveryShowing(QWidget *window);

// Undoes maximising as soon as it happens: no title-bar double click, system menu or window
// manager key makes the window fill the screen, whatever the hints say.
void KeepFromMaximising(QWidget *window);

} // namespace vrelmont::ui
