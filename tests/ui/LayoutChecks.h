#pragma once
// Layout checks for the window tests. A window keeps the places its description fixes, and whatever
// the font: no caption is cut off, no control hides part of another, and nothing stands outside its
// parent. Each check answers a list of faults, one line each, so that a failure says what is wrong:
// EXPECT_EQ(LayoutFaults(window), Faults()).
#include <QPoint>
#include <QSize>

#include <initializer_list>
#include <string>
#include <vector>

class QWidget;

namespace vrelmont::ui::test {

// A control's place (left, top) and size in its parent, as the window's description fixes them. An
// empty size fixes the position only (a label that takes the size of its text).
using Faults = std::vector<std::string>;

struct FixedPlace {
    const char *name;
    QPoint position;
    QSize size;
};

// The controls of `window` that do not stand where `places` says.
Faults PlaceFaults(const QWidget *window, std::initializer_list<FixedPlace> places);

// Checks every named control of `window` that is not hidden:
// - its caption fits: a button's inside its frame, a check box's with its indicator, a label's one
//   line, or all its lines when it wraps;
// - it stands inside its parent;
// - what it shows does not overlap a sibling (a check box or a one-line label as far as its caption
//   reaches). Bevels and outlines (plain frames) frame other controls and are left out; neighbours
//   may share their one-pixel border, as the fixed button rows do.
Faults LayoutFaults(const QWidget *window);

} // namespace vrelmont::ui::test
