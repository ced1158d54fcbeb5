#pragma once

// The window's faces and the program's icon.

#include <QFont>
#include <QIcon>

namespace velmoran::window {

// Registers the classic "MS Sans Serif" face with this process when it is
// installed; false when it is not.
bool loadClassicFont();

// "MS Sans Serif" at `pointSize`, bold; where that face is missing or
// cannot be drawn at that size and weight, the most similar sans-serif
// installed, at the same size.
QFont classicFont(qreal pointSize);
// "Verdana" 7.5 pt, or the nearest wide sans-serif.
QFont captionFont();

// The sizes the program's icon is drawn in, each a file of its own.
inline constexpr int kProgramIconSizes[] = {16, 32, 48, 64, 128, 256};
QIcon programIcon();

}  // namespace velmoran::window
