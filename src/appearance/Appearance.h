#pragma once

#include <QColor>
#include <QFont>
#include <QStringList>
#include <QVariant>

class CommonDialog;
class DataControl;
class QMainWindow;
class QWidget;

// Each window's font and colours, kept in its settings row and applied to the controls
// chosen by the prefix of their names (case-sensitive: "lbl" does not choose "Lbl1").
// The item editor differs from the main window: its buttons get no text colour and its
// labels show the two colours the other way round.
class Appearance {
public:
    enum class Window { Main, Editor };

    // Applies the stored row at load; an empty table leaves the window as designed.
    static void CheckSettings(QMainWindow& window, DataControl& adoSettings, Window kind);
    // Lets the user choose a font (1), a back colour (2) or a text and window colour (4),
    // applies the choice at once and stores it. A cancelled dialog changes nothing.
    static void DialogShowing(QMainWindow& window, DataControl& adoSettings, CommonDialog& dialog, short selector,
                              Window kind);

    // A control's font with a stored font set on it: family, size, weight and italic taken,
    // the rest (its style hint among them) kept.
    static QFont storedFont(QFont font, const QString& family, double size, bool bold, bool italic);

    static bool matches(const QString& name, const QStringList& patterns);
    // Colours are stored as integers with red in the lowest byte, then green, then blue.
    static QColor colorFromStored(const QVariant& value);
    static qint64 storedFromColor(const QColor& color);

    // A control on a stored back colour with no stored text colour keeps the desktop's text
    // colour where it reads on that ground, or else takes black or white.
    static void setBackColor(QWidget* control, const QColor& color);
    static void setForeColor(QWidget* control, const QColor& color);
    // Either or both; an invalid colour leaves its part as it was.
    static void setColors(QWidget* control, const QColor& back, const QColor& fore);
    static double contrast(const QColor& a, const QColor& b);
    static constexpr double ReadableContrast = 4.5;
    static void setWindowBackColor(QMainWindow& window, const QColor& color);
    static QColor windowBackColor(const QMainWindow& window);
};
