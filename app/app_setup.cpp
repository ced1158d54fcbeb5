#include "app/app_setup.hpp"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "texts/user_texts.hpp"
#include "window/appearance.hpp"

namespace velmoran::app {

namespace {

// Qt names keys through the "QShortcut" context, and its Italian
// translation leaves some names in English: the menus would show
// "Shift+F1" where the guide says "Maiusc+F1". Asked before Qt's own.
class KeyNames final : public QTranslator {
public:
    using QTranslator::QTranslator;
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* sourceText, const char*, int) const override
    {
        if (qstrcmp(context, "QShortcut") == 0)
            for (const texts::KeyName& name : texts::kKeyNames)
                if (qstrcmp(sourceText, name.english) == 0)
                    return QString::fromUtf8(name.italian);
        return {};
    }
};

}  // namespace

void setupApplication(QApplication& app)
{
    QApplication::setApplicationName(QStringLiteral("Velmoran"));
    QApplication::setApplicationVersion(QString::fromLatin1(texts::kProgramVersion));
    QApplication::setOrganizationName(QStringLiteral("Velmoran"));
    QApplication::setOrganizationDomain(QStringLiteral("velmoran.it"));
    // Ties the window to its menu entry, for the desktop's icon and name.
    QGuiApplication::setDesktopFileName(QStringLiteral("it.velmoran.Velmoran"));

    const QLocale italian(QLocale::Italian, QLocale::Italy);
    QLocale::setDefault(italian);
    auto* translator = new QTranslator(&app);
    if (translator->load(italian, QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
    else
        delete translator;
    QApplication::installTranslator(new KeyNames(&app));

    window::loadClassicFont();
    QApplication::setWindowIcon(window::programIcon());
}

}  // namespace velmoran::app
