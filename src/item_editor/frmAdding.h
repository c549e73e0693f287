#pragma once

#include "CommonDialog.h"
#include "DataControl.h"
#include "Recordset.h"
#include "SetConnections.h"
#include "SingleWindow.h"

#include <QList>
#include <QMainWindow>

#include <functional>
#include <memory>

class Connection;
class DataCombo;
class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class RowConflict;

// The item editor: the catalogue one record at a time, with search and category choice.
class frmAdding : public QMainWindow, public SingleWindow<frmAdding> {
    Q_OBJECT
    friend class SingleWindow<frmAdding>;

public:
    // The index that ties each of txtFields and lblLabels to its field of the record set.
    enum Field { AisleField = 0, CategoryField = 1, IdField = 2, ItemField = 3 };
    static constexpr int HelpTopic = 30;

    ~frmAdding() override;

    ConnectionTarget connectionTarget();

    void ApplyBrowseState(bool browsing);
    // Applies the window's stored font and colours.
    void CheckSettings();
    // Lets the user choose a font (1), a back colour (2) or a text and window colour (4).
    void DialogShowing(short selector);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

signals:
    // The close sequence brings the shopping-list window back, with the new items listed.
    void mainWindowRequested();

private:
    // Controls, by the names the appearance rules select them by. The two arrays share one
    // name per array; the index ties each box and label to its column.
    QList<QLineEdit*> txtFields;
    QList<QLabel*> lblLabels;
    QLabel* lblSearchBox = nullptr;
    DataCombo* cboFind = nullptr;
    QLabel* lblCatList = nullptr;
    DataCombo* cboCat = nullptr;
    QPushButton* cmdRefreshCombo = nullptr;
    QPushButton* cmdQuit = nullptr;
    QPushButton* cmdEaster = nullptr;
    QWidget* picButtons = nullptr;
    QWidget* picStatBox = nullptr;
    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdEdit = nullptr;
    QPushButton* cmdDelete = nullptr;
    QPushButton* cmdRefresh = nullptr;
    QPushButton* cmdUpdate = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdFirst = nullptr;
    QPushButton* cmdPrevious = nullptr;
    QLabel* lblStatus = nullptr;
    QPushButton* cmdNext = nullptr;
    QPushButton* cmdLast = nullptr;

    QAction* mnuHelp = nullptr;
    QMenu* mnuOptions = nullptr;
    QAction* mnuFont = nullptr;
    QAction* mnuBackColor = nullptr;
    QAction* mnuFontColor = nullptr;
    QAction* mnuExit = nullptr;

    DataControl adoCat;
    DataControl adoCart;
    DataControl adoSettings;
    Recordset adoPrimaryRS;
    CommonDialog ComDia;

    bool EditingRecord = false;
    bool AddingRecord = false;
    // The position of the record Add was last pressed on, where Cancel returns; 0 for none.
    int ReturnPosition = 0;
    bool ClosingEditor = false;

    frmAdding();
    void buildControls();
    void buildMenus();
    void connectHandlers();
    void formLoad();

    static QString fieldOf(int index);
    void showRecord();
    void txtFieldsChanged(int index, const QString& text);
    void adoPrimaryRSMoveComplete();
    // "Record: N" in the status, told to screen readers.
    void showPosition();
    void sayStatus();
    void backToBrowsing();
    void offerAgain(const QStringList& typed);
    void showStoredAfterConflict(const RowConflict& conflict);

    void cmdAddClicked();
    void cmdEditClicked();
    void cmdUpdateClicked();
    void cmdCancelClicked();
    void cmdDeleteClicked();
    void cmdRefreshClicked();
    void cmdFirstClicked();
    void cmdLastClicked();
    void cmdNextClicked();
    void cmdPreviousClicked();
    void cboCatClicked();
    void cboFindClicked();
    void cmdRefreshComboClicked();
    void cmdEasterClicked();
    void mnuHelpClicked();
    void showHelpForFocus();
    bool previewKey(QWidget& control, const QKeyEvent& key);
    void keyPreview(const QKeyEvent* event);
    void layoutStrips();
    void layoutStatusStrip();

    void closeSequence();
    void savePendingRecord();

    std::shared_ptr<Connection> m_connection;
    bool m_showingRecord = false;
    quint64 m_editedRecord = 0;
    bool m_updating = false;
};
