#include "DesignFont.h"

#include "FontListAhead.h"

#include <QApplication>
#include <QByteArray>
#include <QSet>
#include <QStringList>

#include <algorithm>
#include <fontconfig/fontconfig.h>

namespace {
// The families of fonts-urw-base35, which installs each face twice: as a Type 1 file and as
// an OpenType file of the same design.
constexpr const char* UrwFamilies[] = {"C059",
                                       "D050000L",
                                       "Nimbus Mono PS",
                                       "Nimbus Roman",
                                       "Nimbus Sans",
                                       "Nimbus Sans Narrow",
                                       "P052",
                                       "Standard Symbols PS",
                                       "URW Bookman",
                                       "URW Gothic",
                                       "Z003"};

// A family name as fontconfig compares it: blanks and case do not count.
QByteArray familyKey(const char* name) { return QByteArray(name).replace(' ', QByteArray()).toLower(); }

// Whether every URW family is listed; one listing of all families, not one search per family.
bool hasEveryFamily(FcConfig* config)
{
    FcPattern* pattern = FcPatternCreate();
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
    FcFontSet* fonts = FcFontList(config, pattern, objects);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    if (!fonts)
        return false;
    QSet<QByteArray> listed;
    for (int i = 0; i < fonts->nfont; ++i) {
        FcChar8* name = nullptr;
        for (int n = 0; FcPatternGetString(fonts->fonts[i], FC_FAMILY, n, &name) == FcResultMatch; ++n)
            listed.insert(familyKey(reinterpret_cast<const char*>(name)));
    }
    FcFontSetDestroy(fonts);
    return std::all_of(std::begin(UrwFamilies), std::end(UrwFamilies),
                       [&](const char* family) { return listed.contains(familyKey(family)); });
}

// Qt reads whichever copy of a URW face fontconfig lists last, here the Type 1 one. FreeType
// decrypts and parses a Type 1 font's whole program on opening it and loads its glyphs at
// several times the cost, which made fonts the larger part of the main window's start. This
// program's font list leaves the Type 1 copies out, unless a family would then be missing.
// Returns null where the system's list is to stay.
FcConfig* configWithOpenTypeCopies()
{
    QByteArray rules = "<?xml version=\"1.0\"?><fontconfig><selectfont><rejectfont>";
    for (const char* family : UrwFamilies) {
        rules += QByteArray("<pattern><patelt name=\"family\"><string>") + family +
                 "</string></patelt><patelt name=\"fontformat\"><string>Type 1</string></patelt></pattern>";
    }
    rules += "</rejectfont></selectfont></fontconfig>";
    FcConfig* config = FcInitLoadConfig();
    if (!config)
        return nullptr;
    if (FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8*>(rules.constData()), FcTrue) &&
        FcConfigBuildFonts(config) && hasEveryFamily(config))
        return config;
    FcConfigDestroy(config);
    return nullptr;
}

// It must take effect before Qt first lists the fonts, which it does on first measuring any text.
void preferOpenTypeCopies()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    FcConfig* config = FontListAhead::take(configWithOpenTypeCopies);
    if (!config)
        return;
    // The current list takes its own reference to the configuration.
    FcConfigSetCurrent(config);
    FcConfigDestroy(config);
}

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

std::packaged_task<void()> DesignFont::configurationReading() { return FontListAhead::start(configWithOpenTypeCopies); }

void DesignFont::installSubstitutes()
{
    preferOpenTypeCopies();
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
