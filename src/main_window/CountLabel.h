#pragma once

#include <QLabel>

// A label with a single-line border in its text colour, drawn one pixel inside its own
// ground: the window's ground may have the text colour too, and a border on the edge would
// vanish into it.
class CountLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* event) override;
};
