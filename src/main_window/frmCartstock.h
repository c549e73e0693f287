#pragma once

#include "CommonDialog.h"
#include "DataControl.h"
#include "SetConnections.h"
#include "SingleWindow.h"

#include <QFont>
#include <QList>
#include <QMainWindow>
#include <QStringList>

#include <exception>
#include <functional>

class BandedReport;
class CatalogueModel;
class DataGrid;
class DataList;
class QAction;
class QDateEdit;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class QTreeView;
class RecordsetModel;

// The shopping-list window: the catalogue with tick boxes, the list grid and its upkeep.
class frmCartstock : public QMainWindow, public SingleWindow<frmCartstock> {
    Q_OBJECT
    friend class SingleWindow<frmCartstock>;

public:
    static constexpr int HelpTopic = 10;
    // The record sources the window reads as it loads whose rows grow with the household's
    // use: the catalogue and the list.
    static QStringList sourcesThatGrow();

    // Closes the window and deletes it with everything it owns.
    void unload();
    ~frmCartstock() override;

    ConnectionTarget connectionTarget();

    // Refills the catalogue view from the current rows of adoCartstock.
    void AddToListView();
    // Applies the window's stored font and colours.
    void CheckSettings();
    // Lets the user choose a font (1), a back colour (2) or a text and window colour (4).
    void DialogShowing(short selector);

    // The catalogue's records, for listing the items added since start-up.
    Recordset& catalogueRecords();
    // Shows an item among the ones added since start-up.
    void addRecentItem(const QString& item);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    // "Add": the item editor is wanted; this window unloads once someone opens it.
    void editorRequested();

private:
    // Controls, by the names the appearance rules select them by.
    DataList* lstCat = nullptr;
    QTreeView* lvwItems = nullptr;
    QPushButton* cmdAddToList = nullptr;
    DataGrid* grdList = nullptr;
    QDateEdit* DTPick = nullptr;
    QLabel* lblCount = nullptr;
    QPushButton* cmdDelCat = nullptr;
    QPushButton* cmdSelNone = nullptr;
    QPushButton* cmdQuit = nullptr;
    QPushButton* cmdClearAll = nullptr;
    QPushButton* cmdRef = nullptr;
    QPushButton* cmdAll = nullptr;
    QListWidget* lstRecent = nullptr;
    QPushButton* cmdChangeDates = nullptr;

    QAction* mnuAdd = nullptr;
    QMenu* mnuOpt = nullptr;
    QAction* mnuFont = nullptr;
    QAction* mnuBackColor = nullptr;
    QAction* mnuFontColor = nullptr;
    QMenu* mnuPrintShow = nullptr;
    QAction* mnuPrint = nullptr;
    QAction* mnuPrintFull = nullptr;
    QAction* mnuAislePrint = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuHelpShow = nullptr;
    QAction* mnuVersion = nullptr;

    DataControl adoCartstock;
    DataControl adoList;
    DataControl adoCat;
    DataControl adoSettings;
    CommonDialog ComDia;

    frmCartstock();
    void buildControls();
    void buildMenus();
    void connectHandlers();
    void formLoad();

    void lstCatClicked(const QModelIndex& index);
    void cmdAllClicked();
    void lvwItemsClicked();
    void cmdSelNoneClicked();
    void cmdRefClicked();
    void cmdAddToListClicked();
    // Names the ticked items a failed Add Checked Items left unstored, and why.
    QString notAddedText(const std::exception& e) const;
    void cmdChangeDatesClicked();
    void cmdClearAllClicked();
    void cmdDelCatClicked();
    void grdListAfterColUpdate(int column);
    void grdListAfterInsert();
    void grdListEditRejected(const QString& description, bool fileUnusable);
    void backToCell(int row, int column);
    // After a refused action the list and its count show what the file holds.
    void followRefusal(bool fileUnusable);
    void commitGridEdit();
    void cmdQuitClicked();
    void mnuPrintClicked();
    void mnuAislePrintClicked();
    void mnuPrintFullClicked();
    void printReport(DataControl& source, const QString& command, const QVariant& date,
                     const std::function<BandedReport&()>& report);
    void mnuAddClicked();
    void mnuHelpShowClicked();
    void mnuVersionClicked();
    void showHelpForFocus();

    void showCount();
    void enableGridByCount();
    void setGridColumnWidths();

    RecordsetModel* m_listModel = nullptr;
    // The rows of lvwItems with their ticks and bold marks.
    CatalogueModel* m_catalogue = nullptr;
    bool m_firstFill = false;
    bool m_quitting = false;
};
