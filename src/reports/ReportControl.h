#pragma once

#include "ReportFont.h"

#include <QColor>
#include <QRect>
#include <QString>

#include <optional>

// One control of a band: fixed text, a field of the data, or a drawn shape.
struct ReportControl {
    enum class Kind { Label, TextBox, Shape };
    // Which level of a grouped result a text box reads: the group's row or the child rows.
    enum class Level { Parent, Child };
    enum class Shape { Square, Circle };

    QString name;
    Kind kind = Kind::Label;
    QString caption;
    Level level = Level::Child;
    QString field;
    Shape shape = Shape::Square;
    // Left, top, width and height in twips within the band.
    QRect place;
    // Unset: the report's font.
    std::optional<ReportFont> font;
    Qt::Alignment alignment = Qt::AlignLeft;
    // Invalid colours: a transparent background, an unfilled shape.
    QColor background;
    QColor fill;

    static ReportControl label(const QString& name, const QString& caption, const QRect& place)
    {
        ReportControl c;
        c.name = name;
        c.kind = Kind::Label;
        c.caption = caption;
        c.place = place;
        return c;
    }
    static ReportControl textBox(const QString& name, Level level, const QString& field, const QRect& place)
    {
        ReportControl c;
        c.name = name;
        c.kind = Kind::TextBox;
        c.level = level;
        c.field = field;
        c.place = place;
        return c;
    }
    static ReportControl shapeOf(const QString& name, Shape shape, const QRect& place)
    {
        ReportControl c;
        c.name = name;
        c.kind = Kind::Shape;
        c.shape = shape;
        c.place = place;
        return c;
    }
};
