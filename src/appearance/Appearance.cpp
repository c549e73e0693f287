#include "Appearance.h"

#include "CommonDialog.h"
#include "DataControl.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMainWindow>

#include <algorithm>
#include <cmath>

namespace {
const QStringList MainLoadPatterns = {"lst*", "lbl*", "grd*", "txt*", "cbo*", "lvw*"};
const QStringList EditorLoadPatterns = {"lst*", "cmd*", "lbl*", "grd*", "txt*", "cbo*", "lvw*"};
const QStringList FontPatterns = {"cmd*", "lst*", "lbl*", "grd*", "DT*", "txt*", "cbo*", "lvw*"};
const QStringList BackPatterns = {"cmd*", "lst*", "lbl*", "grd*", "txt*", "cbo*", "lvw*"};
const QStringList ForePatterns = {"lst*", "grd*", "lbl*", "txt*", "cbo*", "lvw*"};
const QStringList Labels = {"lbl*"};
const QStringList Buttons = {"cmd*"};

// The window's named controls; parts inside a control (a list's viewport) have no name.
QList<QWidget*> controls(QMainWindow& window)
{
    QList<QWidget*> out;
    for (QWidget* w : window.findChildren<QWidget*>()) {
        if (!w->objectName().isEmpty())
            out << w;
    }
    return out;
}

void setFont(QWidget* control, const QString& name, bool bold, double size, bool italic)
{
    control->setFont(Appearance::storedFont(control->font(), name, size, bold, italic));
}

// What a settings row without a font gives.
const QString UsualFontName = QStringLiteral("Arial");
constexpr double UsualFontSize = 10;

// What shows a control's background and text colour depends on its kind.
std::pair<QPalette::ColorRole, QPalette::ColorRole> roles(const QWidget* control)
{
    if (qobject_cast<const QAbstractButton*>(control))
        return {QPalette::Button, QPalette::ButtonText};
    if (qobject_cast<const QLabel*>(control))
        return {QPalette::Window, QPalette::WindowText};
    return {QPalette::Base, QPalette::Text};
}

// Marks a control whose text colour comes from the settings row, not from the desktop.
const char* const StoredTextColor = "cartlistStoredTextColor";

// A control on a stored ground with the desktop's text colour: that colour stays where it
// reads on the ground, as it does on a light desktop; where it does not (light text of a
// dark desktop on a light ground), black or white, whichever reads better, takes its place.
void keepTextReadable(const QWidget* control, QPalette& palette)
{
    if (control->property(StoredTextColor).toBool())
        return;
    const auto [groundRole, textRole] = roles(control);
    const QPalette desktop = QApplication::palette(control);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        const QColor ground = palette.color(group, groundRole);
        QColor text = desktop.color(group, textRole);
        if (Appearance::contrast(text, ground) < Appearance::ReadableContrast) {
            const QColor black(Qt::black);
            const QColor white(Qt::white);
            text = Appearance::contrast(black, ground) >= Appearance::contrast(white, ground) ? black : white;
        }
        palette.setColor(group, textRole, text);
    }
}

// Marks a control whose ground comes from the settings row.
const char* const StoredGroundColor = "cartlistStoredGroundColor";

// A stored text colour on the desktop's ground (an editor label in the back colour, where no
// text colour is stored to be its ground): where it does not read there (a dark colour on a
// dark desktop), the desktop's ground gives way to black or white, whichever reads better.
void keepGroundReadable(QWidget* control, QPalette& palette)
{
    if (control->property(StoredGroundColor).toBool())
        return;
    const auto [groundRole, textRole] = roles(control);
    bool filled = false;
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        const QColor text = palette.color(group, textRole);
        const QColor ground = palette.color(group, groundRole);
        if (Appearance::contrast(text, ground) >= Appearance::ReadableContrast)
            continue;
        const QColor black(Qt::black);
        const QColor white(Qt::white);
        palette.setColor(group, groundRole,
                         Appearance::contrast(text, black) >= Appearance::contrast(text, white) ? black : white);
        filled = true;
    }
    if (filled && groundRole == QPalette::Window)
        control->setAutoFillBackground(true);
}

using ColorSetter = void (*)(QWidget*, const QColor&);

// A chosen colour on the controls it belongs to; the editor's labels take it the other way
// round (its back colour is their text, its text colour their ground).
void applyChosenColor(QMainWindow& window, const QColor& color, const QStringList& patterns, ColorSetter set,
                      ColorSetter setOnEditorLabel, bool editor)
{
    for (QWidget* control : controls(window)) {
        const QString name = control->objectName();
        if (editor && Appearance::matches(name, Labels))
            setOnEditorLabel(control, color);
        else if (Appearance::matches(name, patterns))
            set(control, color);
    }
}

void writeRow(DataControl& adoSettings, const QList<std::pair<QString, QVariant>>& values)
{
    Recordset& rs = adoSettings.recordset();
    rs.moveFirst();
    for (const auto& [column, value] : values)
        rs.setValue(column, value);
    rs.update();
}
} // namespace

bool Appearance::matches(const QString& name, const QStringList& patterns)
{
    for (const QString& pattern : patterns) {
        if (name.startsWith(QStringView(pattern).chopped(1), Qt::CaseSensitive))
            return true;
    }
    return false;
}

QColor Appearance::colorFromStored(const QVariant& value)
{
    if (value.isNull())
        return {};
    const qint64 v = value.toLongLong();
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

qint64 Appearance::storedFromColor(const QColor& color)
{
    return qint64(color.red()) | (qint64(color.green()) << 8) | (qint64(color.blue()) << 16);
}

void Appearance::setBackColor(QWidget* control, const QColor& color) { setColors(control, color, QColor()); }

void Appearance::setForeColor(QWidget* control, const QColor& color) { setColors(control, QColor(), color); }

// Both colours in one palette change: each change resolves the palettes of the control and
// all its parts again.
void Appearance::setColors(QWidget* control, const QColor& back, const QColor& fore)
{
    if (!back.isValid() && !fore.isValid())
        return;
    const auto [groundRole, textRole] = roles(control);
    QPalette palette = control->palette();
    if (back.isValid()) {
        if (groundRole == QPalette::Window)
            control->setAutoFillBackground(true);
        control->setProperty(StoredGroundColor, true);
        palette.setColor(groundRole, back);
    }
    if (fore.isValid()) {
        control->setProperty(StoredTextColor, true);
        palette.setColor(textRole, fore);
        keepGroundReadable(control, palette);
    } else {
        keepTextReadable(control, palette);
    }
    control->setPalette(palette);
}

// The contrast ratio of the Web Content Accessibility Guidelines, from 1 (the same) to 21.
double Appearance::contrast(const QColor& a, const QColor& b)
{
    const auto luminance = [](const QColor& c) {
        const auto channel = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The window's ground is its client area; the menu bar keeps the desktop's look.
void Appearance::setWindowBackColor(QMainWindow& window, const QColor& color)
{
    QWidget* client = window.centralWidget();
    client->setAutoFillBackground(true);
    QPalette palette = client->palette();
    palette.setColor(QPalette::Window, color);
    client->setPalette(palette);
}

QColor Appearance::windowBackColor(const QMainWindow& window)
{
    return window.centralWidget()->palette().color(QPalette::Window);
}

QFont Appearance::storedFont(QFont font, const QString& family, double size, bool bold, bool italic)
{
    font.setFamily(family);
    font.setBold(bold);
    font.setPointSizeF(size);
    font.setItalic(italic);
    return font;
}

void Appearance::CheckSettings(QMainWindow& window, DataControl& adoSettings, Window kind)
{
    adoSettings.refresh();
    Recordset& rs = adoSettings.recordset();
    if (rs.recordCount() == 0)
        return;
    const auto orDefault = [&](const char* column, const QVariant& fallback) {
        const QVariant v = rs.value(QString::fromLatin1(column));
        return v.isNull() ? fallback : v;
    };
    const QString fontName = orDefault("FontName", UsualFontName).toString();
    const double fontSize = orDefault("FontSize", UsualFontSize).toDouble();
    const bool italic = orDefault("FontIt", false).toBool();
    const bool bold = orDefault("FontBo", false).toBool();
    const QColor back = colorFromStored(rs.value(QStringLiteral("BackColor")));
    const QColor fore = colorFromStored(rs.value(QStringLiteral("ForeColor")));
    const bool editor = kind == Window::Editor;

    for (QWidget* control : controls(window)) {
        const QString name = control->objectName();
        if (!matches(name, editor ? EditorLoadPatterns : MainLoadPatterns))
            continue;
        setFont(control, fontName, bold, fontSize, italic);
        if (editor && matches(name, Buttons)) {
            setBackColor(control, back);
            continue;
        }
        // The editor's labels stand on the window's ground in the back colour.
        if (editor && matches(name, Labels))
            setColors(control, fore, back);
        else
            setColors(control, back, fore);
    }
    if (fore.isValid())
        setWindowBackColor(window, fore);
}

void Appearance::DialogShowing(QMainWindow& window, DataControl& adoSettings, CommonDialog& dialog, short selector,
                               Window kind)
{
    const bool editor = kind == Window::Editor;
    if (selector == 1) {
        dialog.Flags = CommonDialog::FontFlagsWithEffects;
        // The dialog opens on the window's own design font every time.
        const QFont own = window.font();
        dialog.FontName = own.family();
        dialog.FontSize = own.pointSizeF();
        dialog.FontBold = own.bold();
        dialog.FontItalic = own.italic();
        if (!dialog.ShowFont(&window))
            return;
        const float size = float(dialog.FontSize);
        for (QWidget* control : controls(window)) {
            if (matches(control->objectName(), FontPatterns))
                setFont(control, dialog.FontName, dialog.FontBold, size, dialog.FontItalic);
        }
        writeRow(adoSettings, {{QStringLiteral("FontName"), dialog.FontName},
                               {QStringLiteral("FontSize"), double(size)},
                               {QStringLiteral("FontIt"), dialog.FontItalic},
                               {QStringLiteral("FontBo"), dialog.FontBold}});
    } else if (selector == 2) {
        dialog.DialogTitle = QStringLiteral("BackColor");
        if (!dialog.ShowColor(&window))
            return;
        writeRow(adoSettings, {{QStringLiteral("BackColor"), storedFromColor(dialog.Color)}});
        applyChosenColor(window, dialog.Color, BackPatterns, &Appearance::setBackColor, &Appearance::setForeColor,
                         editor);
    } else if (selector == 4) {
        dialog.DialogTitle = QStringLiteral("ForeColor");
        if (!dialog.ShowColor(&window))
            return;
        setWindowBackColor(window, dialog.Color);
        writeRow(adoSettings, {{QStringLiteral("ForeColor"), storedFromColor(dialog.Color)}});
        applyChosenColor(window, dialog.Color, ForePatterns, &Appearance::setForeColor, &Appearance::setBackColor,
                         editor);
    }
}
