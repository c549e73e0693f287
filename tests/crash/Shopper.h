#pragma once

#include "Intent.h"
#include "ListState.h"
#include "SideFile.h"

#include <QRandomGenerator>
#include <QString>

#include <optional>

class frmAdding;
class frmCartstock;

// A user who works the program through its windows at random, with a seed: ticks and adds
// items, edits the list in the grid, changes dates, deletes, edits the catalogue in the
// item editor, chooses fonts and colours. Before each action it writes down what the
// action may change; once the action has returned and the window shows its result, it
// writes down what the file now holds. Both go to a side file, each on the disk before
// anything else happens.
class Shopper {
public:
    Shopper(quint32 seed, const QString& sideFile);

    // Reads what the file in the application folder holds, then starts the program on it.
    void start();
    // One action; throws when a window does not show what the action should have done.
    void step();
    int acknowledged() const { return m_sequence; }

    // What a side file says: the last action whose result was shown, the file's state
    // after it, and the action started after it, if it was.
    struct Record {
        int sequence = -1;
        ListState state;
        std::optional<Intent> running;
    };
    static Record lastAcknowledged(const QByteArray& sideFile);

private:
    frmCartstock& mainWindow();
    frmAdding& editor();

    void acknowledge();
    void begin(const Intent& intent);
    void finish(const ListState& now);
    void finishWithListShown(frmCartstock& w);
    void checkMainWindowShowsTheFile();

    void addTickedItems();
    void editListCell();
    void addRowInGrid();
    void changeDates();
    void deleteAll();
    void deleteCategory();
    void chooseLooks(bool inEditor);
    void openEditor();
    void addItem();
    void editItem();
    void deleteItem();
    void closeEditor();
    // Finds a catalogue record with the search list; returns its ID.
    double findRecord();

    int below(int n) { return int(m_random.bounded(n)); }
    bool chance(int percent) { return below(100) < percent; }
    QString anyText();
    QString anyQuantity();
    QDate anyDate();

    QRandomGenerator m_random;
    SideFile m_side;
    ListState m_state;
    std::optional<Intent> m_running;
    int m_sequence = 0;
    int m_names = 0;
};
