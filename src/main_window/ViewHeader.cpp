#include "ViewHeader.h"

#include <QIcon>
#include <QPixmap>
#include <QStyleOption>
#include <QTableView>
#include <QTreeView>

ViewHeader::ViewHeader(const QHeaderView& standIn)
    : QHeaderView(standIn.orientation())
{
    setSectionsMovable(standIn.sectionsMovable());
    setSectionsClickable(standIn.sectionsClickable());
    setHighlightSections(standIn.highlightSections());
    setStretchLastSection(standIn.stretchLastSection());
    setDefaultAlignment(standIn.defaultAlignment());
}

void ViewHeader::replaceIn(QTreeView& view) { view.setHeader(new ViewHeader(*view.header())); }

void ViewHeader::replaceIn(QTableView& view)
{
    view.setHorizontalHeader(new ViewHeader(*view.horizontalHeader()));
    view.setVerticalHeader(new ViewHeader(*view.verticalHeader()));
}

// As QHeaderView measures, but in the header's font as set.
QSize ViewHeader::sectionSizeFromContents(int logicalIndex) const
{
    ensurePolished();
    QAbstractItemModel* data = model();
    const QVariant hint = data->headerData(logicalIndex, orientation(), Qt::SizeHintRole);
    if (hint.isValid())
        return hint.toSize();
    QStyleOptionHeaderV2 option;
    initStyleOption(&option);
    option.section = logicalIndex;
    const QVariant font = data->headerData(logicalIndex, orientation(), Qt::FontRole);
    option.fontMetrics = QFontMetrics(font.canConvert<QFont>() ? font.value<QFont>() : this->font());
    option.text = data->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString();
    const QVariant decoration = data->headerData(logicalIndex, orientation(), Qt::DecorationRole);
    option.icon = decoration.value<QIcon>();
    if (option.icon.isNull())
        option.icon = decoration.value<QPixmap>();
    if (isSortIndicatorShown())
        option.sortIndicator =
            sortIndicatorOrder() == Qt::AscendingOrder ? QStyleOptionHeader::SortDown : QStyleOptionHeader::SortUp;
    return style()->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), this);
}
