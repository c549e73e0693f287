#pragma once

#include <QListView>

class Recordset;

// A data-bound list: one field of a record set's rows, chosen with the mouse or the keyboard.
// A choice is a click on an entry, or a key that changes the selected entry (arrows,
// Home/End, typing its first letters), or Return or Space on an entry.
class DataList : public QListView {
    Q_OBJECT
public:
    DataList(Recordset& rowSource, const QString& listField, QWidget* parent = nullptr);

    // The selected entry's text, or an empty text.
    QString text() const;
    // The selected entry, or an invalid index.
    QModelIndex selectedEntry() const;

Q_SIGNALS:
    void chosen(const QModelIndex& index);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
