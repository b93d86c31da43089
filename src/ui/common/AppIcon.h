#pragma once
#include <QIcon>
#include <QPixmap>

namespace vrelmont::ui {

// The program's picture: a storage box under a magnifying glass, drawn at `size` pixels square.
QPixmap AppPixmap(int size = 32);
// The window icon, in the sizes a title bar and a task bar ask for.
QIcon AppIcon();

} // namespace vrelmont::ui
