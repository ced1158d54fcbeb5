#include "window/appearance.hpp"

#include <initializer_list>
#include <iterator>

#include <QFile>
#include <QFontDatabase>

// Outside any namespace, as the macro requires; the resources live in a
// static library, so nothing would pull them in otherwise.
static void initProgramResources()
{
    static const bool once = [] {
        Q_INIT_RESOURCE(velmoran);
        return true;
    }();
    (void)once;
}

namespace velmoran::window {

namespace {
const char* const kClassicFontFile = "/usr/share/wine/fonts/ms_sans_serif.ttf";
}  // namespace

bool loadClassicFont()
{
    static const bool loaded = QFile::exists(QString::fromUtf8(kClassicFontFile))
                               && QFontDatabase::addApplicationFont(QString::fromUtf8(kClassicFontFile)) >= 0;
    return loaded;
}

namespace {

// The first of `families` installed here, so the face chosen does not hang
// on how fontconfig happens to alias a missing name.
QString firstInstalled(std::initializer_list<const char*> families)
{
    for (const char* family : families)
        if (QFontDatabase::hasFamily(QString::fromUtf8(family)))
            return QString::fromUtf8(family);
    return QString::fromUtf8(*std::prev(families.end()));
}

// Qt draws a bitmap face only at the sizes and weights it carries (it
// cannot embolden one), so the classic face is used only where it has
// the very strike asked for.
bool classicFaceCan(qreal pointSize, bool bold)
{
    const QString family = QStringLiteral("MS Sans Serif");
    if (!QFontDatabase::hasFamily(family))
        return false;
    if (QFontDatabase::isSmoothlyScalable(family))
        return true;
    const QStringList styles = QFontDatabase::styles(family);
    const bool hasWeight = !bold || styles.contains(QStringLiteral("Bold"));
    return hasWeight && QFontDatabase::pointSizes(family).contains(qRound(pointSize));
}

}  // namespace

QFont classicFont(qreal pointSize)
{
    QFont font;
    // Without the classic face, the closest in shape and width: Helvetica's
    // kin first, DejaVu Sans (wider) last.
    font.setFamily(classicFaceCan(pointSize, true)
                       ? QStringLiteral("MS Sans Serif")
                       : firstInstalled({"Liberation Sans", "Arimo", "Nimbus Sans", "DejaVu Sans"}));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    font.setWeight(QFont::Bold);
    return font;
}

QFont captionFont()
{
    QFont font;
    font.setFamily(firstInstalled({"Verdana", "DejaVu Sans"}));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(7.5);
    font.setWeight(QFont::Normal);
    return font;
}

QIcon programIcon()
{
    initProgramResources();
    QIcon icon;
    for (const int size : kProgramIconSizes)
        icon.addFile(QStringLiteral(":/icons/velmoran%1.png").arg(size), QSize(size, size));
    return icon;
}

}  // namespace velmoran::window
