#include "window/guide_window.hpp"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "texts/user_texts.hpp"

namespace velmoran::window {

GuideWindow::GuideWindow(std::function<void()> showAbout, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Guide"));
    setWindowTitle(QString::fromUtf8(texts::kGuideEntry));
    auto* text = new QTextBrowser(this);
    text->setObjectName(QStringLiteral("GuideText"));
    text->setHtml(QString::fromStdString(texts::guideHtml()));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* about = buttons->addButton(QString::fromUtf8(texts::kAboutEntry), QDialogButtonBox::HelpRole);
    about->setObjectName(QStringLiteral("GuideAbout"));
    connect(about, &QPushButton::clicked, this, [showAbout = std::move(showAbout)] { showAbout(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(buttons);
    resize(560, 600);
}

}  // namespace velmoran::window
