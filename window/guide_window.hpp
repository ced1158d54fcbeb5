#pragma once

#include <functional>

#include <QDialog>

namespace velmoran::window {

// "Guida di Velmoran": the window, the counts, the lesson commands, the
// keys and the messages, with About one click away.
class GuideWindow final : public QDialog {
    Q_OBJECT
public:
    GuideWindow(std::function<void()> showAbout, QWidget* parent);
};

}  // namespace velmoran::window
