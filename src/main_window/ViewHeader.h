#pragma once

#include <QHeaderView>

class QTableView;
class QTreeView;

// A view's header that sizes its titles in its own font. Qt sizes them in bold, to leave room
// for a title shown bold while its column holds the selection; a title's height is its font's
// either way, and these views set their columns' widths, so the bold face, loaded only for
// that measure, was a face more to read before the window could show.
class ViewHeader : public QHeaderView {
    Q_OBJECT
public:
    // Puts headers of this kind in the place of the view's own, with the same settings.
    static void replaceIn(QTreeView& view);
    static void replaceIn(QTableView& view);

protected:
    QSize sectionSizeFromContents(int logicalIndex) const override;

private:
    explicit ViewHeader(const QHeaderView& standIn);
};
