#pragma once

class QApplication;

namespace velmoran::app {

// What the program sets up before it makes its window: its name and
// version, the Italian locale with Qt's own Italian texts, the window's
// faces and the icon. Tests call it too, so they see the same fonts.
void setupApplication(QApplication& app);

}  // namespace velmoran::app
