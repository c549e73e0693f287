#include "DataCombo.h"

#include "Recordset.h"
#include "RecordsetModel.h"
#include "TextOrder.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>

#include <algorithm>

DataCombo::DataCombo(Recordset& rowSource, const QString& listField, const QString& boundColumn, QWidget* parent)
    : QWidget(parent)
    , m_rowSource(rowSource)
    , m_model(new RecordsetModel(rowSource, this))
    , m_listField(listField)
    , m_boundColumn(boundColumn)
    , m_edit(new QLineEdit(this))
    , m_list(new QListView(this))
{
    m_model->showOnly(listField);
    m_list->setModel(m_model);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setFocusPolicy(Qt::NoFocus);
    m_edit->installEventFilter(this);
    m_list->viewport()->installEventFilter(this);
    setFocusProxy(m_edit);
    connect(m_list, &QListView::pressed, this, [this](const QModelIndex& index) {
        m_edit->setText(index.data().toString());
        takeBoundTextFrom(index.row());
    });
    connect(m_edit, &QLineEdit::textEdited, this, [this](const QString& text) {
        const int row = matchingRow(text);
        showInList(row);
        if (row >= 0)
            takeBoundTextFrom(row);
    });
}

QString DataCombo::text() const { return m_edit->text(); }

void DataCombo::setText(const QString& text)
{
    m_edit->setText(text);
    const int row = matchingRow(text);
    showInList(row);
    if (row >= 0)
        takeBoundTextFrom(row);
    else if (text.isEmpty())
        m_boundText.clear();
}

bool DataCombo::matchedWithList() const { return matchingRow(text()) >= 0; }

void DataCombo::refresh()
{
    m_list->reset();
    showInList(matchingRow(text()));
}

int DataCombo::matchingRow(const QString& text) const
{
    const int column = m_rowSource.fieldIndex(m_listField);
    if (column < 0 || !m_rowSource.isOpen())
        return -1;
    for (int r = 0; r < m_rowSource.recordCount(); ++r) {
        if (TextOrder::sameText(m_rowSource.rowValue(r, column).toString(), text))
            return r;
    }
    return -1;
}

void DataCombo::takeBoundTextFrom(int row)
{
    const int bound =
        m_boundColumn.isEmpty() ? m_rowSource.fieldIndex(m_listField) : m_rowSource.fieldIndex(m_boundColumn);
    m_boundText = bound < 0 ? QString() : m_rowSource.rowValue(row, bound).toString();
}

// The list marks the entry the text names, or none.
void DataCombo::showInList(int row)
{
    const QModelIndex index = m_model->index(row, m_list->modelColumn());
    m_list->setCurrentIndex(index);
    if (index.isValid())
        m_list->scrollTo(index);
}

void DataCombo::step(int by)
{
    const int rows = m_model->rowCount();
    if (rows == 0)
        return;
    const int from = m_list->currentIndex().isValid() ? m_list->currentIndex().row() : matchingRow(text());
    const int row = from < 0 ? (by > 0 ? 0 : rows - 1) : std::clamp(from + by, 0, rows - 1);
    const QModelIndex index = m_model->index(row, m_list->modelColumn());
    m_edit->setText(index.data().toString());
    m_edit->selectAll();
    showInList(row);
    takeBoundTextFrom(row);
}

bool DataCombo::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_edit && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            switch (key->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
                Q_EMIT clicked();
                return true;
            case Qt::Key_Up:
                step(-1);
                return true;
            case Qt::Key_Down:
                step(1);
                return true;
            default:
                break;
            }
        }
    }
    // The list is part of the focused control while its field has the focus: its selection
    // shows as a focused list's does.
    if (watched == m_edit && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
        QPalette palette = m_list->palette();
        const QPalette::ColorGroup from = event->type() == QEvent::FocusIn ? QPalette::Active : QPalette::Inactive;
        const QPalette inherited = this->palette();
        for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
            palette.setColor(QPalette::Inactive, role, inherited.color(from, role));
        m_list->setPalette(palette);
    }
    // A click in the list puts the focus in the field, where the keys work on the list.
    if (watched == m_list->viewport() && event->type() == QEvent::MouseButtonPress)
        m_edit->setFocus(Qt::MouseFocusReason);
    if (event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
        (watched == m_edit || watched == m_list->viewport()))
        Q_EMIT clicked();
    return QWidget::eventFilter(watched, event);
}

void DataCombo::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int editHeight = m_edit->sizeHint().height();
    m_edit->setGeometry(0, 0, width(), editHeight);
    m_list->setGeometry(0, editHeight, width(), std::max(0, height() - editHeight));
}
