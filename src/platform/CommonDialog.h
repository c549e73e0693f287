#pragma once

#include <QColor>
#include <QString>

class QWidget;

// A window's common dialog: the help file it opens, and the font and colour dialogs with
// the values they were shown with and closed with. Its values stay while the window is
// loaded. Tests script the user's answers instead of a dialog appearing.
class CommonDialog {
public:
    QString HelpFile;
    int Flags = 0;
    // The font dialog's flags: screen and printer fonts (3) and the effects group with
    // strikeout, underline and colour (256).
    static constexpr int FontFlagsWithEffects = 259;
    QString DialogTitle;
    QString FontName;
    double FontSize = 0;
    bool FontBold = false;
    bool FontItalic = false;
    QColor Color;

    // True when the user chose; on Cancel every value stays as it was.
    bool ShowFont(QWidget* parent);
    bool ShowColor(QWidget* parent);

    // Test seam: answers given in order; an empty optional is Cancel.
    struct FontChoice {
        QString family;
        double pointSize = 10;
        bool bold = false;
        bool italic = false;
    };
    static void startScripting();
    static void stopScripting();
    static void queueFont(const FontChoice& choice);
    static void queueColor(const QColor& color);
    static void queueCancel();
    static int pendingAnswers();
    static int unexpectedDialogs();
    // What the dialogs were shown with: font family and size, or the colour dialog's title.
    static QStringList shownWith();
};
