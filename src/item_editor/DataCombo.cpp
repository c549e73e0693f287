#include "DataCombo.h"

#include "Recordset.h"
#include "RecordsetModel.h"
#include "TextOrder.h"

#include <QEvent>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>

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
        if (row >= 0)
            takeBoundTextFrom(row);
    });
}

QString DataCombo::text() const { return m_edit->text(); }

void DataCombo::setText(const QString& text)
{
    m_edit->setText(text);
    const int row = matchingRow(text);
    if (row >= 0)
        takeBoundTextFrom(row);
    else if (text.isEmpty())
        m_boundText.clear();
}

bool DataCombo::matchedWithList() const { return matchingRow(text()) >= 0; }

void DataCombo::refresh() { m_list->reset(); }

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

bool DataCombo::eventFilter(QObject* watched, QEvent* event)
{
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
