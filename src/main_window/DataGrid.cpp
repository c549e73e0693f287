#include "DataGrid.h"

#include "ViewHeader.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QStyledItemDelegate>

#include <limits>
#include <memory>

class GridDelegate : public QStyledItemDelegate {
public:
    explicit GridDelegate(DataGrid* grid)
        : QStyledItemDelegate(grid)
        , m_grid(grid)
    {
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        // A date is typed whole, as the grid shows it, and read or refused as a whole: a date
        // box takes the keys one section at a time and makes another day of what was typed.
        QWidget* editor = nullptr;
        if (isDate(index)) {
            auto* line = new QLineEdit(parent);
            line->setFrame(false);
            editor = line;
        } else {
            editor = QStyledItemDelegate::createEditor(parent, option, index);
        }
        // A line edit keeps 32767 characters by default and cuts a longer paste silently.
        if (auto* line = qobject_cast<QLineEdit*>(editor))
            line->setMaxLength(std::numeric_limits<int>::max());
        return editor;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        if (auto* line = qobject_cast<QLineEdit*>(editor); line && isDate(index))
            line->setText(shown(index));
        else
            QStyledItemDelegate::setEditorData(editor, index);
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        // A date left as shown is no change.
        if (auto* line = qobject_cast<QLineEdit*>(editor); line && isDate(index) && line->text() == shown(index))
            return;
        QStyledItemDelegate::setModelData(editor, model, index);
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        auto* editor = qobject_cast<QWidget*>(object);
        if (editor && event->type() == QEvent::FocusOut &&
            static_cast<QFocusEvent*>(event)->reason() == Qt::MenuBarFocusReason) {
            lendToMenuBar(editor);
            return true;
        }
        if (editor && event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
            if (tab && (key->modifiers() & Qt::ControlModifier)) {
                // Ctrl+Tab leaves the grid from inside a cell too, keeping what was typed.
                Q_EMIT commitData(editor);
                Q_EMIT closeEditor(editor, NoHint);
                m_grid->leave(!(key->modifiers() & Qt::ShiftModifier) && key->key() == Qt::Key_Tab);
                return true;
            }
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    static bool isDate(const QModelIndex& index) { return index.data(Qt::EditRole).typeId() == QMetaType::QDate; }
    QString shown(const QModelIndex& index) const { return displayText(index.data(Qt::EditRole), m_grid->locale()); }

    // F10 or Alt lends the keyboard to the menu bar, as an open menu borrows it: the cell stays
    // open with its text and selection, and Escape gives the keyboard back to it, where the
    // typing goes on. A command chosen from a menu stores the cell first; the focus going from
    // the menu bar to another control of the window stores it, as leaving the cell does.
    void lendToMenuBar(QWidget* editor)
    {
        QFocusEvent lent(QEvent::FocusOut, Qt::PopupFocusReason);
        static_cast<QObject*>(editor)->event(&lent);
        auto connection = std::make_shared<QMetaObject::Connection>();
        *connection =
            connect(qApp, &QApplication::focusChanged, editor, [this, editor, connection](QWidget*, QWidget* now) {
                if (!now || qobject_cast<QMenuBar*>(now) || now->window() != editor->window())
                    return;
                disconnect(*connection);
                if (now != editor && !editor->isAncestorOf(now)) {
                    Q_EMIT commitData(editor);
                    Q_EMIT closeEditor(editor, NoHint);
                }
            });
    }

    DataGrid* m_grid;
};

DataGrid::DataGrid(QWidget* parent)
    : QTableView(parent)
{
    setItemDelegate(new GridDelegate(this));
    ViewHeader::replaceIn(*this);
}

bool DataGrid::commitPendingEdit()
{
    if (state() != EditingState)
        return false;
    QWidget* editor = indexWidget(currentIndex());
    if (!editor)
        return false;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
    return true;
}

bool DataGrid::atEdge(bool forward) const
{
    const QModelIndex current = currentIndex();
    if (!current.isValid() || !model())
        return true;
    if (forward)
        return current.row() == model()->rowCount() - 1 && current.column() == model()->columnCount() - 1;
    return current.row() == 0 && current.column() == 0;
}

void DataGrid::leave(bool forward)
{
    // The window's own tab chain, from this grid on.
    QWidget::focusNextPrevChild(forward);
}

bool DataGrid::focusNextPrevChild(bool next)
{
    if (atEdge(next)) {
        leave(next);
        return true;
    }
    return QTableView::focusNextPrevChild(next);
}

void DataGrid::keyPressEvent(QKeyEvent* event)
{
    const bool tab = event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
    if (tab && (event->modifiers() & Qt::ControlModifier)) {
        leave(event->key() == Qt::Key_Tab && !(event->modifiers() & Qt::ShiftModifier));
        return;
    }
    QTableView::keyPressEvent(event);
}

void DataGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    // Tab in the last cell (Shift+Tab in the first) ends the edit and goes on to the next control.
    const bool forward = hint == QAbstractItemDelegate::EditNextItem;
    if ((forward || hint == QAbstractItemDelegate::EditPreviousItem) && atEdge(forward)) {
        QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
        leave(forward);
        return;
    }
    QTableView::closeEditor(editor, hint);
}

void DataGrid::inputMethodEvent(QInputMethodEvent* event)
{
    // A composed letter reaches the grid as input-method text, not as a key. Qt opens the
    // cell to it but drops the text; the editor gets it here, as it gets a typed key.
    const bool text = !event->commitString().isEmpty() || !event->preeditString().isEmpty();
    if (text && state() != EditingState && edit(currentIndex(), AnyKeyPressed, event)) {
        if (QWidget* editor = indexWidget(currentIndex())) {
            QCoreApplication::sendEvent(editor->focusProxy() ? editor->focusProxy() : editor, event);
            return;
        }
    }
    QTableView::inputMethodEvent(event);
}
