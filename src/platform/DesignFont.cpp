#include "DesignFont.h"

#include <QApplication>
#include <QStringList>

namespace {
bool isSerif(const QString& family)
{
    return family.startsWith(QStringLiteral("Souvenir"), Qt::CaseInsensitive) ||
           family.startsWith(QStringLiteral("Benguiat Bk"), Qt::CaseInsensitive) ||
           family.contains(QStringLiteral("Times"), Qt::CaseInsensitive);
}
} // namespace

QFont DesignFont::make(const QString& family, double pointSize, bool italic, bool bold)
{
    QFont font(family);
    font.setPointSizeF(pointSize);
    font.setItalic(italic);
    font.setBold(bold);
    font.setStyleHint(isSerif(family) ? QFont::Serif : QFont::SansSerif);
    return font;
}

QFont DesignFont::desktop(const char* widgetClass)
{
    QFont font = QApplication::font(widgetClass);
    font.setResolveMask(QFont::AllPropertiesResolved);
    return font;
}

void DesignFont::installSubstitutes()
{
    // URW's faces (Debian's fonts-urw-base35) are close in shape and width to the designed
    // ones: URW Gothic is Avant Garde itself, P052 a serif as narrow as Souvenir, Nimbus Sans
    // has Arial's widths. DejaVu follows where those are missing.
    const QStringList serif = {QStringLiteral("P052"), QStringLiteral("Nimbus Roman"), QStringLiteral("DejaVu Serif")};
    const QStringList sans = {QStringLiteral("Nimbus Sans"), QStringLiteral("Liberation Sans"),
                              QStringLiteral("DejaVu Sans")};
    const QStringList gothic = {QStringLiteral("URW Gothic"), QStringLiteral("DejaVu Sans")};
    const QStringList bookman = {QStringLiteral("URW Bookman"), QStringLiteral("DejaVu Serif")};
    QFont::insertSubstitutions(QStringLiteral("Souvenir Lt BT"), serif);
    QFont::insertSubstitutions(QStringLiteral("Benguiat Bk BT"), bookman);
    QFont::insertSubstitutions(QStringLiteral("BenguiatGot Bk BT"), gothic);
    QFont::insertSubstitutions(QStringLiteral("AvantGarde Bk BT"), gothic);
    for (const char* family : {"Arial", "Tahoma", "MS Sans Serif"})
        QFont::insertSubstitutions(QString::fromLatin1(family), sans);
}
