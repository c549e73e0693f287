#include "frmCartstock.h"

#include "Appearance.h"
#include "BandedReport.h"
#include "CatalogueModel.h"
#include "CatalogueView.h"
#include "ChordGuard.h"
#include "CountLabel.h"
#include "Criteria.h"
#include "DataEnvironment.h"
#include "DataGrid.h"
#include "DataList.h"
#include "DatePicker.h"
#include "DesignFont.h"
#include "FocusMark.h"
#include "HelpContext.h"
#include "HelpViewer.h"
#include "MenuBarAccess.h"
#include "MessageBox.h"
#include "Place.h"
#include "RecordsetModel.h"
#include "ReturnPressesButton.h"
#include "SpokenNotice.h"
#include "StoreProblem.h"
#include "Today.h"
#include "Twips.h"
#include "UserAction.h"
#include "Version.h"
#include "rptAisle.h"
#include "rptAll.h"
#include "rptPrint.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateEdit>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>

namespace {
constexpr double ListColumnWidth = 1739.906;
constexpr double IdColumnWidth = 915.0237;

QPushButton* button(QWidget* parent, const char* name, const QString& caption, int left, int top, int width, int height,
                    int help)
{
    auto* b = Place::control<QPushButton>(parent, name, left, top, width, height);
    b->setText(caption);
    if (help > 0)
        HelpContext::set(b, help);
    return b;
}

const QString CatalogueSource = QStringLiteral("Select * From Cartstock Order By Item");
const QString ListSource = QStringLiteral("Selected");

QFont designFont() { return DesignFont::make(QStringLiteral("Souvenir Lt BT"), 9.75, true); }
} // namespace

QStringList frmCartstock::sourcesThatGrow() { return {CatalogueSource, ListSource}; }

frmCartstock::frmCartstock()
    : adoCartstock(QStringLiteral("Cartstock"), CatalogueSource)
    , adoList(QStringLiteral("List"), ListSource)
    , adoCat(QStringLiteral("Category List"),
             QStringLiteral("SELECT Categories, ID\r\nFROM Categories\r\nORDER BY Categories"))
    , adoSettings(QStringLiteral("Settings"), QStringLiteral("Settings"))
{
    setObjectName(QStringLiteral("frmCartstock"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Cartlist"));
    setFont(designFont());
    adoCartstock.setObjectName(QStringLiteral("adoCartstock"));
    adoList.setObjectName(QStringLiteral("adoList"));
    adoCat.setObjectName(QStringLiteral("adoCat"));
    adoSettings.setObjectName(QStringLiteral("adoSettings"));

    buildControls();
    // The bar takes its style and font while it is empty: no titles to lay out again.
    MenuBarAccess::setUp(*this);
    buildMenus();
    ChordGuard::install(*this);
    ReturnPressesButton::install(*this);
    FocusMark::install(*this);
    connectHandlers();
    // The controls keep their places whatever the window's size; this is its design size.
    resize(Twips::size(11985, 8940) + QSize(0, menuBar()->sizeHint().height()));
}

frmCartstock::~frmCartstock() { forget(this); }

void frmCartstock::unload()
{
    forget(this);
    close();
}

void frmCartstock::closeEvent(QCloseEvent* event)
{
    QMainWindow::closeEvent(event);
    if (event->isAccepted())
        forget(this);
}

void frmCartstock::buildControls()
{
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);

    lstCat = Place::control<DataList>(client, "lstCat", 120, 360, 2175, 3900, adoCat.recordset(),
                                      QStringLiteral("Categories"));

    lvwItems = Place::control<CatalogueView>(client, "lvwItems", 2640, 120, 9255, 4455);
    m_catalogue = new CatalogueModel(this);
    lvwItems->setModel(m_catalogue);
    lvwItems->setRootIsDecorated(false);
    // Bold or not, every row has the same height: the view need not measure each one.
    lvwItems->setUniformRowHeights(true);
    lvwItems->setHeaderHidden(false);

    cmdAddToList =
        button(client, "cmdAddToList", QStringLiteral("Add Checked Items to Cartlist"), 2640, 4680, 7575, 495, 17);

    grdList = Place::control<DataGrid>(client, "grdList", 120, 6240, 11775, 2535);
    m_listModel = new RecordsetModel(adoList.recordset(), this);
    m_listModel->setEditable(true);
    m_listModel->setNewRowLine(true);
    grdList->setModel(m_listModel);
    // Every re-read of the list rebuilds the columns; they keep their designed widths.
    connect(m_listModel, &QAbstractItemModel::modelReset, this, &frmCartstock::setGridColumnWidths);
    grdList->setSelectionMode(QAbstractItemView::SingleSelection);
    grdList->setSelectionBehavior(QAbstractItemView::SelectItems);
    grdList->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                             QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    grdList->verticalHeader()->setDefaultSectionSize(Twips::px(255));
    grdList->verticalHeader()->setFixedWidth(Twips::px(285));

    DTPick = Place::control<DatePicker>(client, "DTPick", 10440, 4680, 1455, 495);

    lblCount = Place::control<CountLabel>(client, "lblCount", 10680, 5280, 1215, 375);
    lblCount->setAlignment(Qt::AlignCenter);

    cmdDelCat = button(client, "cmdDelCat", QStringLiteral("Delete Category"), 120, 4320, 2175, 375, 19);
    cmdSelNone = button(client, "cmdSelNone", QStringLiteral("\u00D8"), 2280, 0, 375, 375, 15);
    cmdQuit = button(client, "cmdQuit", QString(), 5880, 5280, 1440, 975, 23);
    cmdQuit->setIcon(QIcon(QStringLiteral(":/images/exit_main.png")));
    cmdQuit->setIconSize(QSize(90, 60));
    cmdQuit->setAccessibleName(QStringLiteral("Exit"));
    // A click must not take the focus: that would leave an open cell, and report what it cannot
    // hold, before the quit handler runs to store it or drop it quietly.
    cmdQuit->setFocusPolicy(Qt::TabFocus);
    cmdClearAll = button(client, "cmdClearAll", QStringLiteral("Delete All"), 120, 5280, 1815, 375, 20);
    cmdRef = button(client, "cmdRef", QStringLiteral("Click if not updating"), 120, 5640, 1815, 495, 21);
    cmdAll = button(client, "cmdAll", QStringLiteral("View All"), 120, 0, 2175, 375, 0);
    lstRecent = Place::control<QListWidget>(client, "lstRecent", 7440, 5280, 3015, 780);
    cmdChangeDates = button(client, "cmdChangeDates", QStringLiteral("Change dates below"), 120, 4920, 1815, 375, 0);

    // What screen readers say for the controls no caption names; the captions stay as they are.
    const std::pair<QWidget*, const char*> spoken[] = {
        {lstCat, "Categories"},          {lvwItems, "Items"},
        {grdList, "Shopping list"},      {DTPick, "Date"},
        {cmdSelNone, "Clear all ticks"}, {lstRecent, "Items added since Cartlist started"}};
    for (const auto& [control, name] : spoken)
        control->setAccessibleName(QString::fromLatin1(name));
    // The box's text part takes the focus on its own too.
    for (QWidget* part : DTPick->findChildren<QLineEdit*>())
        part->setAccessibleName(DTPick->accessibleName());

    const QList<QWidget*> tabOrder = {lstCat,  lvwItems,    cmdAddToList, grdList, DTPick,    cmdDelCat,     cmdSelNone,
                                      cmdQuit, cmdClearAll, cmdRef,       cmdAll,  lstRecent, cmdChangeDates};
    for (int i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder.at(i - 1), tabOrder.at(i));
}

void frmCartstock::buildMenus()
{
    QMenuBar* bar = menuBar();
    const auto action = [this](QMenu* menu, const char* name, const QString& caption) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QLatin1String(name));
        return a;
    };
    const auto menu = [&](const char* name, const QString& caption) {
        QMenu* m = bar->addMenu(caption);
        m->setObjectName(QLatin1String(name));
        m->menuAction()->setObjectName(QLatin1String(name));
        return m;
    };
    // "Add" is a menu title that runs its command when chosen.
    mnuAdd = bar->addAction(QStringLiteral("Add"));
    mnuAdd->setObjectName(QStringLiteral("mnuAdd"));
    mnuOpt = menu("mnuOpt", QStringLiteral("Options"));
    mnuFont = action(mnuOpt, "mnuFont", QStringLiteral("Font"));
    mnuBackColor = action(mnuOpt, "mnuBackColor", QStringLiteral("Back Color"));
    mnuFontColor = action(mnuOpt, "mnuFontColor", QStringLiteral("Font && Form Color"));
    mnuPrintShow = menu("mnuPrintShow", QStringLiteral("Print"));
    mnuPrint = action(mnuPrintShow, "mnuPrint", QStringLiteral("Cartlist"));
    mnuPrintFull = action(mnuPrintShow, "mnuPrintFull", QStringLiteral("Full List"));
    mnuAislePrint = action(mnuPrintShow, "mnuAislePrint", QStringLiteral("Cartlist by Aisle"));
    mnuHelp = menu("mnuHelp", QStringLiteral("Help"));
    mnuHelpShow = action(mnuHelp, "mnuHelpShow", QStringLiteral("Show Help"));
    mnuVersion = action(mnuHelp, "mnuVersion", QStringLiteral("Version"));
}

void frmCartstock::connectHandlers()
{
    // Every command starts from what the user typed: a cell edit still open in the list is
    // stored first, exactly as leaving the cell stores it.
    const auto command = [this](const std::function<void()>& handler) {
        return [this, handler] {
            UserAction::run(
                [&] {
                    commitGridEdit();
                    try {
                        handler();
                    } catch (const std::exception& e) {
                        followRefusal(StoreError::unusable(e));
                        throw;
                    }
                },
                this);
        };
    };
    const auto handler = [this, command](void (frmCartstock::*method)()) {
        return command([this, method] { (this->*method)(); });
    };
    connect(lstCat, &DataList::chosen, this,
            [this, command](const QModelIndex& index) { command([&] { lstCatClicked(index); })(); });
    connect(cmdAll, &QPushButton::clicked, this, handler(&frmCartstock::cmdAllClicked));
    connect(lvwItems, &QAbstractItemView::clicked, this, handler(&frmCartstock::lvwItemsClicked));
    lvwItems->installEventFilter(this);
    connect(cmdSelNone, &QPushButton::clicked, this, handler(&frmCartstock::cmdSelNoneClicked));
    connect(cmdRef, &QPushButton::clicked, this, handler(&frmCartstock::cmdRefClicked));
    connect(cmdAddToList, &QPushButton::clicked, this, handler(&frmCartstock::cmdAddToListClicked));
    connect(cmdChangeDates, &QPushButton::clicked, this, handler(&frmCartstock::cmdChangeDatesClicked));
    connect(cmdClearAll, &QPushButton::clicked, this, handler(&frmCartstock::cmdClearAllClicked));
    connect(cmdDelCat, &QPushButton::clicked, this, handler(&frmCartstock::cmdDelCatClicked));
    connect(m_listModel, &RecordsetModel::afterColUpdate, this, [this](int column) { grdListAfterColUpdate(column); });
    connect(m_listModel, &RecordsetModel::afterInsert, this, UserAction::slot(this, &frmCartstock::grdListAfterInsert));
    connect(m_listModel, &RecordsetModel::editRejected, this, &frmCartstock::grdListEditRejected);
    connect(cmdQuit, &QPushButton::clicked, this, UserAction::slot(this, &frmCartstock::cmdQuitClicked));
    connect(mnuPrint, &QAction::triggered, this, handler(&frmCartstock::mnuPrintClicked));
    connect(mnuAislePrint, &QAction::triggered, this, handler(&frmCartstock::mnuAislePrintClicked));
    connect(mnuPrintFull, &QAction::triggered, this, handler(&frmCartstock::mnuPrintFullClicked));
    connect(mnuAdd, &QAction::triggered, this, handler(&frmCartstock::mnuAddClicked));
    connect(mnuFont, &QAction::triggered, this, command([this] { DialogShowing(1); }));
    connect(mnuBackColor, &QAction::triggered, this, command([this] { DialogShowing(2); }));
    connect(mnuFontColor, &QAction::triggered, this, command([this] { DialogShowing(4); }));
    connect(mnuHelpShow, &QAction::triggered, this, handler(&frmCartstock::mnuHelpShowClicked));
    connect(mnuVersion, &QAction::triggered, this, handler(&frmCartstock::mnuVersionClicked));
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(f1, &QShortcut::activated, this, &frmCartstock::showHelpForFocus);
}

ConnectionTarget frmCartstock::connectionTarget()
{
    return {[this](const QString& path) { ComDia.HelpFile = path; }, {&adoCat, &adoCartstock, &adoList, &adoSettings}};
}

void frmCartstock::formLoad()
{
    SetConnections(1);
    CheckSettings();
    DTPick->setDate(Today::date());
    adoList.refresh();
    showCount();
    adoCat.refresh();
    adoCartstock.refresh();
    adoCartstock.recordset().setFilter(QString());
    m_firstFill = true;
    AddToListView();
    m_firstFill = false;
}

Recordset& frmCartstock::catalogueRecords() { return adoCartstock.recordset(); }

void frmCartstock::addRecentItem(const QString& item) { lstRecent->addItem(item); }

void frmCartstock::AddToListView()
{
    lvwItems->setAllColumnsShowFocus(true);
    m_catalogue->clear();
    if (m_firstFill) {
        m_catalogue->setHeaders({QStringLiteral("Item"), QStringLiteral("Category"), QStringLiteral("Aisle")});
        const int width = qRound(float(lvwItems->width()) / 3.0f);
        for (int c = 0; c < 3; ++c)
            lvwItems->setColumnWidth(c, width);
    }
    Recordset& rs = adoCartstock.recordset();
    if (rs.recordCount() < 1)
        return;
    rs.moveFirst();
    const auto field = [&rs](const QString& name) {
        const int index = rs.fieldIndex(name);
        if (index < 0)
            rs.value(name); // fails as reading a field the source lacks does
        return index;
    };
    const int itemField = field(QStringLiteral("Item"));
    const int categoryField = field(QStringLiteral("Category"));
    const int aisleField = field(QStringLiteral("Aisle"));
    // The view shows the rows as they are now, whatever the record set reads later.
    m_catalogue->fill(rs.snapshot(), itemField, categoryField, aisleField);
    rs.moveFirst();
}

void frmCartstock::lstCatClicked(const QModelIndex& index)
{
    Recordset& rs = adoCartstock.recordset();
    rs.setFilter(QString());
    rs.setFilter(QStringLiteral("Category = ") + Criteria::quoted(index.data().toString()));
    AddToListView();
}

void frmCartstock::cmdAllClicked()
{
    adoCartstock.recordset().setFilter(QString());
    AddToListView();
}

void frmCartstock::lvwItemsClicked()
{
    for (int row = 0; row < m_catalogue->rowCount(); ++row)
        m_catalogue->setBold(row, m_catalogue->isChecked(row));
}

bool frmCartstock::eventFilter(QObject* watched, QEvent* event)
{
    // Space ticks the current row from the keyboard: for the bold marks that is a click.
    if (watched == lvwItems && event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Space && !key->isAutoRepeat())
            UserAction::run([this] { lvwItemsClicked(); }, this);
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmCartstock::cmdSelNoneClicked()
{
    for (int row = 0; row < m_catalogue->rowCount(); ++row) {
        m_catalogue->setChecked(row, false);
        m_catalogue->setBold(row, false);
    }
}

void frmCartstock::cmdRefClicked()
{
    enableGridByCount();
    adoList.refresh();
    grdList->viewport()->update();
    showCount();
    enableGridByCount();
    setGridColumnWidths();
}

void frmCartstock::cmdAddToListClicked()
{
    const int n = m_catalogue->rowCount();
    try {
        for (int row = 0; row < n; ++row) {
            if (!m_catalogue->isChecked(row))
                continue;
            // Each ticked row is stored on its own: a failure part-way keeps those before it.
            adoList.refresh();
            Recordset& rs = adoList.recordset();
            rs.addNew();
            rs.setValue(QStringLiteral("Quantity"), QStringLiteral("1"));
            rs.setValue(QStringLiteral("Item"), m_catalogue->text(row, 0));
            rs.setValue(QStringLiteral("Category"), m_catalogue->text(row, 1));
            rs.setValue(QStringLiteral("Aisle"), m_catalogue->text(row, 2));
            rs.setValue(QStringLiteral("Date"), DTPick->date());
            rs.update();
            // Stored: only what was not stays ticked, so pressing again after a failure adds no item twice.
            m_catalogue->setChecked(row, false);
            m_catalogue->setBold(row, false);
            rs.requery();
        }
    } catch (const std::exception& e) {
        followRefusal(StoreError::unusable(e));
        MessageBox::show(notAddedText(e), MessageBox::Buttons::Ok, this);
        return;
    }
    adoList.refresh();
    showCount();
    // The focus stays on the button, so a screen reader would not hear the new count.
    SpokenNotice::say(lblCount, lblCount->accessibleName());
    grdList->viewport()->update();
    enableGridByCount();
    cmdSelNoneClicked();
}

QString frmCartstock::notAddedText(const std::exception& e) const
{
    // Every row still ticked: the one that failed and those after it.
    QStringList items;
    for (int row : m_catalogue->checkedRows())
        items << QStringLiteral("    ") + m_catalogue->text(row, 0);
    constexpr int Named = 12;
    if (items.size() > Named + 1)
        items = items.mid(0, Named) << QStringLiteral("    and %1 more").arg(items.size() - Named);
    return QStringLiteral("These items were not added to the list:\n\n%1\n\n%2\n\nThey are still ticked: press \"Add "
                          "Checked Items to Cartlist\" to try them again.")
        .arg(items.join(u'\n'), QString::fromStdString(e.what()));
}

void frmCartstock::cmdChangeDatesClicked()
{
    if (adoList.recordset().recordCount() == 0)
        return;
    if (MessageBox::show(QStringLiteral("Are you sure you want to change the dates on all items on your list?"),
                         MessageBox::Buttons::YesNo, this) == MessageBox::Answer::No)
        return;
    DECartstock().run(QStringLiteral("ChangeDates"), DTPick->date());
    adoList.recordset().requery();
    adoList.refresh();
    grdList->viewport()->update();
    showCount();
    cmdRefClicked();
}

void frmCartstock::cmdClearAllClicked()
{
    if (adoList.recordset().recordCount() == 0)
        return;
    if (MessageBox::show(QStringLiteral("Are you sure you want to delete all items on your list?"),
                         MessageBox::Buttons::YesNo, this) == MessageBox::Answer::No)
        return;
    DECartstock().run(QStringLiteral("ClearList"));
    adoList.recordset().requery();
    adoList.refresh();
    grdList->viewport()->update();
    showCount();
}

void frmCartstock::cmdDelCatClicked()
{
    const QPersistentModelIndex entry = lstCat->selectedEntry();
    const QString category = entry.data().toString();
    if (category.isEmpty())
        return;
    if (MessageBox::show(QStringLiteral("Are you sure you want to delete ") + category + u'?',
                         MessageBox::Buttons::YesNo, this) == MessageBox::Answer::No)
        return;
    // The very row the user chose and confirmed, never the first that reads the same but for
    // case. Should the list have been read again meanwhile, nothing is deleted.
    Recordset& rs = adoCat.recordset();
    const int field = rs.fieldIndex(QStringLiteral("Categories"));
    if (!entry.isValid() || entry.row() >= rs.recordCount() || rs.rowValue(entry.row(), field).toString() != category)
        return;
    rs.moveTo(entry.row());
    rs.deleteCurrent();
    rs.requery();
    // The entry is gone; highlighting its neighbour would offer a category nobody chose.
    lstCat->selectionModel()->clear();
}

void frmCartstock::grdListAfterColUpdate(int)
{
    Recordset& rs = adoList.recordset();
    const QModelIndex cell = grdList->currentIndex();
    try {
        rs.update();
    } catch (const std::exception& e) {
        // What the file refused is dropped; the stored row stays as it was.
        rs.cancelUpdate();
        grdListEditRejected(QString::fromStdString(e.what()), StoreError::unusable(e));
        // A list read again under the open cell took the focus from the grid.
        backToCell(cell.row(), cell.column());
    }
}

void frmCartstock::backToCell(int row, int column)
{
    // The user goes on in the cell where the change was typed.
    QAbstractItemModel* model = grdList->model();
    grdList->setCurrentIndex(model->index(std::min(row, model->rowCount() - 1), column));
    grdList->setFocus(Qt::OtherFocusReason);
}

void frmCartstock::grdListAfterInsert()
{
    showCount();
    enableGridByCount();
}

void frmCartstock::grdListEditRejected(const QString& description, bool fileUnusable)
{
    if (m_quitting)
        return;
    const QModelIndex cell = grdList->currentIndex();
    followRefusal(fileUnusable);
    MessageBox::show(
        QStringLiteral("The change was not saved:\n\n") + description +
            (adoList.recordset().isOpen() ? QStringLiteral("\n\nThe list shows what the file holds.") : QString()),
        MessageBox::Buttons::Ok, this);
    // A value the cell refused closes its editor after this, and the focus would go on to the
    // next control.
    if (cell.isValid())
        QTimer::singleShot(0, grdList, [this, row = cell.row(), column = cell.column()] { backToCell(row, column); });
}

void frmCartstock::followRefusal(bool fileUnusable)
{
    // A file that is no Cartlist database any more holds no list: none of the rows read before is shown.
    if (fileUnusable)
        adoList.recordset().close();
    showCount();
    enableGridByCount();
}

void frmCartstock::commitGridEdit() { grdList->commitPendingEdit(); }

void frmCartstock::cmdQuitClicked()
{
    // A quantity typed but not yet left is still the user's: store it before ending.
    // A value the column cannot hold is dropped quietly, the stored row left as it was.
    m_quitting = true;
    commitGridEdit();
    m_quitting = false;
    HelpViewer::closeViewer();
    BandedReport::closeAll();
    QCoreApplication::exit(0);
}

void frmCartstock::mnuPrintClicked()
{
    printReport(adoList, QStringLiteral("ListPrint_Grouping"), DTPick->date(),
                []() -> BandedReport& { return rptPrint::instance(); });
}

void frmCartstock::mnuAislePrintClicked()
{
    printReport(adoList, QStringLiteral("ListPrintAisle_Grouping"), DTPick->date(),
                []() -> BandedReport& { return rptAisle::instance(); });
}

void frmCartstock::mnuPrintFullClicked()
{
    printReport(adoCartstock, QStringLiteral("All_Grouping"), QVariant(),
                []() -> BandedReport& { return rptAll::instance(); });
}

void frmCartstock::printReport(DataControl& source, const QString& command, const QVariant& date,
                               const std::function<BandedReport&()>& report)
{
    Recordset& rs = source.recordset();
    if (rs.recordCount() == 0) {
        MessageBox::show(QStringLiteral("No records to show."), MessageBox::Buttons::Ok, this);
        return;
    }
    // What the user changed through the grid is in the file before the report reads it.
    rs.update();
    rs.requery();
    source.refresh();
    ResultSet& result = DECartstock().resultSet(QStringLiteral("rs") + command);
    if (result.state() == Recordset::StateOpen)
        result.close();
    DECartstock().run(command, date);
    // The report exists from here: an empty source above opens nothing.
    BandedReport& shown = report();
    shown.refresh();
    shown.show();
}

void frmCartstock::mnuAddClicked()
{
    // Leaving drops the ticks: warn once.
    if (!m_catalogue->checkedRows().isEmpty() &&
        MessageBox::show(QStringLiteral("You have items checked.  Click Cancel to return and add them before "
                                        "exiting this screen."),
                         MessageBox::Buttons::OkCancel, this) != MessageBox::Answer::Ok)
        return;
    emit editorRequested();
    unload();
}

void frmCartstock::mnuHelpShowClicked() { HelpViewer::showTopic(ComDia.HelpFile, HelpTopic, this); }

void frmCartstock::mnuVersionClicked()
{
    MessageBox::show(QStringLiteral("Version: %1.%2.%3").arg(Version::Major).arg(Version::Minor).arg(Version::Revision),
                     MessageBox::Buttons::Ok, this);
}

void frmCartstock::showHelpForFocus()
{
    HelpViewer::showTopic(ComDia.HelpFile, HelpContext::forFocus(this, HelpTopic), this);
}

void frmCartstock::CheckSettings() { Appearance::CheckSettings(*this, adoSettings, Appearance::Window::Main); }

void frmCartstock::DialogShowing(short selector)
{
    Appearance::DialogShowing(*this, adoSettings, ComDia, selector, Appearance::Window::Main);
}

void frmCartstock::showCount()
{
    const QString count = QString::number(adoList.recordset().recordCount());
    lblCount->setText(count);
    // A screen reader says the number with what it counts.
    lblCount->setAccessibleName(QStringLiteral("Items on the list: ") + count);
}

void frmCartstock::enableGridByCount() { grdList->setEnabled(adoList.recordset().recordCount() >= 1); }

void frmCartstock::setGridColumnWidths()
{
    for (int c = 0; c < 5; ++c)
        grdList->setColumnWidth(c, Twips::px(ListColumnWidth));
    grdList->setColumnWidth(5, Twips::px(IdColumnWidth));
}
