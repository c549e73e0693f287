#pragma once

#include "ListState.h"

#include <QRandomGenerator>
#include <QString>

class frmAdding;
class frmCartstock;

// A user who works the program through its windows at random, with a seed: ticks and adds
// items, edits the list in the grid, changes dates, deletes, edits the catalogue in the item
// editor, chooses fonts and colours. Before each action it notes that one begins; once the
// windows show the action done and the file holds what they show, it notes what the file
// holds. Each note is on the disk before anything else happens.
class Shopper {
public:
    Shopper(quint32 seed, const QString& sideFile);
    ~Shopper();

    // Starts the program on the file in the application folder.
    void start();
    // One action; throws when the windows do not show it done or the file does not hold it.
    void step();
    // Actions acknowledged since the start; -1 before it.
    int acknowledged() const { return int(m_sequence); }

    // What a side file says: the file's state after each acknowledged action (the start is
    // action 0), and whether another action had begun.
    struct Record {
        QList<ListState> states;
        bool running = false;
    };
    static Record read(const QByteArray& sideFile);

private:
    void note(const QJsonObject& object);
    void begin();
    // Compares the windows (with `catalogue`, the catalogue view too) with the file, and
    // acknowledges what it holds.
    void finish(bool catalogue = false);

    void addTickedItems(frmCartstock& w);
    void chooseLooks(bool inEditor);
    void addItem(frmAdding& e);

    int below(int n) { return int(m_random.bounded(n)); }
    bool chance(int percent) { return below(100) < percent; }
    QString anyText();
    QDate anyDate();
    QString anyCategory();

    QRandomGenerator m_random;
    int m_side = -1;
    qsizetype m_sequence = -1;
    int m_names = 0;
    ListState m_state;
};
