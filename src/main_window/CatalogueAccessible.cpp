#include "CatalogueAccessible.h"

#include "CatalogueView.h"

#include <QHeaderView>

namespace {

// One cell of the catalogue, or a column's header when its row is -1.
class CatalogueCell : public QAccessibleInterface,
                      public QAccessibleTableCellInterface,
                      public QAccessibleActionInterface {
public:
    CatalogueCell(CatalogueView* view, int row, int column)
        : m_view(view)
        , m_row(row)
        , m_column(column)
    {
    }

    bool isValid() const override
    {
        return m_view && m_view->model() && m_row < m_view->model()->rowCount() &&
               m_column < m_view->model()->columnCount();
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_view->window()->windowHandle(); }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(m_view); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override
    {
        if (header())
            return t == QAccessible::Name ? m_view->model()->headerData(m_column, Qt::Horizontal).toString()
                                          : QString();
        if (t == QAccessible::Name)
            return index().data().toString();
        if (t == QAccessible::Description)
            return index().data(Qt::AccessibleDescriptionRole).toString();
        return {};
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override
    {
        if (header()) {
            const QHeaderView* h = m_view->header();
            const QRect r(h->sectionViewportPosition(m_column), 0, h->sectionSize(m_column), h->height());
            return r.translated(h->viewport()->mapToGlobal(QPoint(0, 0)));
        }
        return m_view->visualRect(index()).translated(m_view->viewport()->mapToGlobal(QPoint(0, 0)));
    }
    QAccessible::Role role() const override { return header() ? QAccessible::ColumnHeader : QAccessible::TreeItem; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (header())
            return s;
        const QModelIndex i = index();
        s.selectable = true;
        s.focusable = true;
        s.selected = isSelected();
        s.focused = m_view->hasFocus() && m_view->currentIndex().row() == m_row;
        if (!m_view->viewport()->rect().intersects(m_view->visualRect(i)))
            s.invisible = s.offscreen = true;
        if (i.flags() & Qt::ItemIsUserCheckable) {
            s.checkable = true;
            s.checked = i.data(Qt::CheckStateRole).toInt() == Qt::Checked;
        }
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableCellInterface)
            return static_cast<QAccessibleTableCellInterface*>(this);
        if (type == QAccessible::ActionInterface && tickBox())
            return static_cast<QAccessibleActionInterface*>(this);
        return nullptr;
    }

    bool isSelected() const override
    {
        return !header() && m_view->selectionModel()->isRowSelected(m_row, m_view->rootIndex());
    }
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {table()->child(m_column)}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return m_column; }
    int rowIndex() const override { return m_row; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

    // Screen readers know a tick box in a table by an action of this name.
    QStringList actionNames() const override { return {QStringLiteral("toggle")}; }
    QString localizedActionName(const QString&) const override { return QAccessibleActionInterface::tr("Toggle"); }
    void doAction(const QString& action) override
    {
        if (action != QStringLiteral("toggle") || !isValid())
            return;
        const QModelIndex i = index();
        const bool checked = i.data(Qt::CheckStateRole).toInt() == Qt::Checked;
        m_view->model()->setData(i, checked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
        // The window keeps its marks after a tick as after a click on it.
        Q_EMIT m_view->clicked(i);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {QStringLiteral("Space")}; }

private:
    bool header() const { return m_row < 0; }
    bool tickBox() const { return !header() && (index().flags() & Qt::ItemIsUserCheckable); }
    QModelIndex index() const { return m_view->model()->index(m_row, m_column, m_view->rootIndex()); }

    QPointer<CatalogueView> m_view;
    const int m_row;
    const int m_column;
};

QAccessibleInterface* catalogueFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("CatalogueView") && object->isWidgetType())
        return new CatalogueAccessible(static_cast<CatalogueView*>(object));
    return nullptr;
}

} // namespace

CatalogueAccessible::CatalogueAccessible(CatalogueView* view)
    : QAccessibleWidget(view, QAccessible::Tree)
{
}

CatalogueAccessible::~CatalogueAccessible() { dropCells(); }

void CatalogueAccessible::install()
{
    static const bool installed = (QAccessible::installFactory(catalogueFactory), true);
    Q_UNUSED(installed);
}

CatalogueView* CatalogueAccessible::view() const { return static_cast<CatalogueView*>(widget()); }

void CatalogueAccessible::dropCells()
{
    for (const QAccessible::Id id : std::as_const(m_cells))
        QAccessible::deleteAccessibleInterface(id);
    m_cells.clear();
}

void* CatalogueAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TableInterface)
        return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

int CatalogueAccessible::columnCount() const { return view()->model() ? view()->model()->columnCount() : 0; }

int CatalogueAccessible::rowCount() const { return view()->model() ? view()->model()->rowCount() : 0; }

int CatalogueAccessible::childCount() const { return (rowCount() + 1) * columnCount(); }

QAccessibleInterface* CatalogueAccessible::child(int index) const
{
    const int columns = columnCount();
    if (index < 0 || index >= childCount() || columns == 0)
        return nullptr;
    if (const auto found = m_cells.constFind(index); found != m_cells.constEnd())
        return QAccessible::accessibleInterface(*found);
    auto* made = new CatalogueCell(view(), index / columns - 1, index % columns);
    m_cells.insert(index, QAccessible::registerAccessibleInterface(made));
    return made;
}

QAccessibleInterface* CatalogueAccessible::cell(int row, int column) const
{
    if (row < 0 || column < 0 || column >= columnCount())
        return nullptr;
    return child((row + 1) * columnCount() + column);
}

int CatalogueAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    for (auto it = m_cells.cbegin(); it != m_cells.cend(); ++it)
        if (QAccessible::accessibleInterface(it.value()) == child)
            return it.key();
    return -1;
}

QAccessibleInterface* CatalogueAccessible::childAt(int x, int y) const
{
    const QPoint at = view()->viewport()->mapFromGlobal(QPoint(x, y));
    const QModelIndex index = view()->indexAt(at);
    return index.isValid() ? cell(index.row(), index.column()) : nullptr;
}

QAccessibleInterface* CatalogueAccessible::focusChild() const
{
    const QModelIndex current = view()->currentIndex();
    return view()->hasFocus() && current.isValid() ? cell(current.row(), current.column()) : nullptr;
}

int CatalogueAccessible::selectedCellCount() const { return selectedRowCount() * columnCount(); }

QList<QAccessibleInterface*> CatalogueAccessible::selectedCells() const
{
    QList<QAccessibleInterface*> cells;
    for (const int row : selectedRows())
        for (int column = 0; column < columnCount(); ++column)
            cells.append(cell(row, column));
    return cells;
}

QString CatalogueAccessible::columnDescription(int column) const
{
    return view()->model() ? view()->model()->headerData(column, Qt::Horizontal).toString() : QString();
}

QList<int> CatalogueAccessible::selectedRows() const
{
    QList<int> rows;
    if (view()->selectionModel())
        for (const QModelIndex& index : view()->selectionModel()->selectedRows())
            rows.append(index.row());
    return rows;
}

bool CatalogueAccessible::isRowSelected(int row) const
{
    return view()->selectionModel() && view()->selectionModel()->isRowSelected(row, view()->rootIndex());
}

bool CatalogueAccessible::selectRow(int row)
{
    if (!view()->model() || row < 0 || row >= rowCount())
        return false;
    view()->setCurrentIndex(view()->model()->index(row, 0));
    return true;
}

bool CatalogueAccessible::unselectRow(int row)
{
    if (!isRowSelected(row))
        return false;
    const QModelIndex first = view()->model()->index(row, 0);
    view()->selectionModel()->select(first, QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    return true;
}

void CatalogueAccessible::modelChange(QAccessibleTableModelChangeEvent* event)
{
    // A changed value keeps its cell; rows that come, go or are refilled do not.
    if (event->modelChangeType() != QAccessibleTableModelChangeEvent::DataChanged)
        dropCells();
}
