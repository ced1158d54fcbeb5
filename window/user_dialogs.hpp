#pragma once

#include <optional>

#include <QPointer>
#include <QString>
#include <QWidget>

#include "texts/user_texts.hpp"

class QPrinter;

namespace velmoran::window {

// What a printout shows.
enum class PrintChoice { Window, FigureAlone };

// What to save when the picture shown cannot be saved as vectors.
enum class UnfinishedChoice { ShownAsPng, LastFinished, Nothing };

// What the window asks of the person in front of it. Behind an interface so
// that a test can answer in place of a modal box.
class UserDialogs {
public:
    virtual ~UserDialogs() = default;
    // Reports a failure; returns when it has been read.
    virtual void showError(const QString& text) = 0;
    // A yes-or-no question; true for yes.
    virtual bool askYesNo(const QString& text) = 0;
    // Asks where to save a PDF file; empty if the person declined.
    virtual QString askPdfFileName() = 0;
    // Asks where to save the picture, starting in `folder` with `name`
    // proposed (a PNG file, unless another type is chosen); empty if the
    // person declined.
    virtual QString askImageFileName(const QString& folder, const QString& name) = 0;
    // Vectors were asked for while the area shows no one finished figure:
    // save the picture shown as PNG instead, the last finished figure
    // (offered where `finishedFigure`, the button's words, is not empty), or
    // nothing.
    virtual UnfinishedChoice askUnfinishedVectors(const QString& finishedFigure) = 0;
    // The print dialog: sets up `printer` as the person chooses, and says
    // what to print; nothing if they cancelled.
    virtual std::optional<PrintChoice> askPrint(QPrinter& printer) = 0;
    // Shows what the program is (name, version, licence, web address), or
    // what the figure drawn is.
    virtual void showAbout(const QString& title, const QString& text) = 0;
    // A figure's numbers, with its table level by level, which the person
    // may copy.
    virtual void showFigureNumbers(const QString& text, const texts::Table& levels) = 0;
};

// Modal message boxes and the standard save dialog, in Italian through Qt's
// own translations.
class MessageBoxDialogs final : public UserDialogs {
public:
    explicit MessageBoxDialogs(QWidget* parent) : parent_(parent) {}
    void showError(const QString& text) override;
    bool askYesNo(const QString& text) override;
    QString askPdfFileName() override;
    QString askImageFileName(const QString& folder, const QString& name) override;
    UnfinishedChoice askUnfinishedVectors(const QString& finishedFigure) override;
    std::optional<PrintChoice> askPrint(QPrinter& printer) override;
    void showAbout(const QString& title, const QString& text) override;
    void showFigureNumbers(const QString& text, const texts::Table& levels) override;

private:
    QPointer<QWidget> parent_;
};

}  // namespace velmoran::window
