#pragma once

#include <QWidget>

class QLineEdit;
class QListView;
class Recordset;
class RecordsetModel;

// A simple-style data combo: a text field with the list of one column of a record set
// always shown below it. The bound text is the value of the bound column on the row the
// text names (or the text itself when there is no bound column); it keeps the last row
// chosen while the user types something that names none. The focus stays in the text field:
// Up and Down there move the list's selection and put its entry into the field, and Return
// (or the keypad's Enter) is the keyboard's click.
class DataCombo : public QWidget {
    Q_OBJECT
public:
    DataCombo(Recordset& rowSource, const QString& listField, const QString& boundColumn, QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);
    QString boundText() const { return m_boundText; }
    // True when the text equals an entry of the list by the program's text rule (TextOrder).
    bool matchedWithList() const;
    // Re-reads the list from the record set as it now stands.
    void refresh();

    QLineEdit* textField() const { return m_edit; }
    QListView* list() const { return m_list; }

Q_SIGNALS:
    // A click on the text field or on the list, or Return in the text field.
    void clicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int matchingRow(const QString& text) const;
    void takeBoundTextFrom(int row);
    void showInList(int row);
    void step(int by);

    Recordset& m_rowSource;
    RecordsetModel* m_model;
    QString m_listField;
    QString m_boundColumn;
    QLineEdit* m_edit;
    QListView* m_list;
    QString m_boundText;
};
