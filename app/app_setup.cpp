#include "app/app_setup.hpp"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "texts/user_texts.hpp"
#include "window/appearance.hpp"

namespace velmoran::ui {

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

    loadClassicFont();
    QApplication::setWindowIcon(programIcon());
}

}  // namespace velmoran::ui
