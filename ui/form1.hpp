#pragma once

#include <functional>
#include <memory>

#include <QWidget>

#include "fractals/figures.hpp"
#include "ui/printing.hpp"
#include "ui/qt_event_pump.hpp"
#include "ui/user_dialogs.hpp"

class QComboBox;
class QLabel;

namespace velmoran::ui {

class FormButton;
class PictureBox;
class RasterSurface;

// The program's one window: the drawing area, the four figure buttons, the
// iteration selector, "Esci" and "Stampa", and two labels, at fixed places.
//
// Every handler is the last stop for its press's errors: a failed press is
// reported in a message box and abandoned, the window goes on. "Esci" (or
// closing the window) marks the program as ending, so that every drawing in
// progress unwinds at its next DoEvents without drawing another line, hides
// the window and asks the event loop to finish.
class Form1 final : public QWidget {
    Q_OBJECT
public:
    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

    // What ends the program; by default the event loop is told to return 0.
    void setEndProgram(std::function<void()> endProgram) { endProgram_ = std::move(endProgram); }
    void setDialogs(std::unique_ptr<UserDialogs> dialogs) { dialogs_ = std::move(dialogs); }
    // Where "Stampa" prints; by default the system's default printer.
    void setPrinterChoice(PrinterChoice choice) { choosePrinter_ = std::move(choice); }

    RasterSurface& surface();
    const WindowState& state() const { return state_; }
    QtEventPump& pump() { return *pump_; }
    // How the latest press that finished ended.
    PressOutcome lastOutcome() const { return lastOutcome_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void Command1_Click() { press(Figure::Triangolo); }
    void Command2_Click() { press(Figure::Tappeto); }
    void Command3_Click() { press(Figure::Trina); }
    void Command4_Click() { press(Figure::Fiocco); }
    void Command5_Click() { endProgram(); }
    void Command6_Click() noexcept;

    void press(Figure figure) noexcept;
    void endProgram() noexcept;
    void report(const QString& text) noexcept;

    WindowState state_;
    PressOutcome lastOutcome_;

    PictureBox* Picture1;
    FormButton* Command1;
    FormButton* Command2;
    FormButton* Command3;
    FormButton* Command4;
    QComboBox* Combo1;
    QLabel* Label1;
    FormButton* Command5;
    FormButton* Command6;
    QLabel* Label2;

    std::unique_ptr<QtEventPump> pump_;
    std::unique_ptr<UserDialogs> dialogs_;
    std::function<void()> endProgram_;
    PrinterChoice choosePrinter_;
};

}  // namespace velmoran::ui
