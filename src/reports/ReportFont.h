#pragma once

#include <QFont>
#include <QString>

// A font as a report is designed in it. The style hint names the kind of face to fall back
// on when the system lacks the family; size and weight are kept.
struct ReportFont {
    QString family;
    double pointSize = 10;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    QFont::StyleHint hint = QFont::AnyStyle;

    QFont toQFont() const
    {
        QFont font(family);
        font.setStyleHint(hint);
        font.setPointSizeF(pointSize);
        font.setBold(bold);
        font.setItalic(italic);
        font.setUnderline(underline);
        return font;
    }
};
