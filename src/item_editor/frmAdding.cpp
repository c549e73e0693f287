#include "frmAdding.h"

#include "Appearance.h"
#include "ChordGuard.h"
#include "Connection.h"
#include "Criteria.h"
#include "DataCombo.h"
#include "DesignFont.h"
#include "FocusMark.h"
#include "HelpContext.h"
#include "HelpViewer.h"
#include "MenuBarAccess.h"
#include "MessageBox.h"
#include "Place.h"
#include "ReturnPressesButton.h"
#include "RowWriter.h"
#include "SpokenNotice.h"
#include "SystemBeep.h"
#include "Twips.h"
#include "UserAction.h"
#include "WindowKeys.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>

#include <limits>

namespace {
QFont buttonFont() { return DesignFont::make(QStringLiteral("Tahoma"), 9.75); }
QFont smallFont() { return DesignFont::make(QStringLiteral("MS Sans Serif"), 8.25); }

// The strips keep the desktop's ground whatever colour the window takes.
void keepDesignGround(QWidget* strip)
{
    strip->setAutoFillBackground(true);
    QPalette palette = strip->palette();
    palette.setColor(QPalette::Window, QApplication::palette().color(QPalette::Window));
    strip->setPalette(palette);
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, int left, int top, int width, int height,
                    int help, const QFont& font)
{
    auto* b = Place::control<QPushButton>(parent, name, left, top, width, height);
    b->setText(caption);
    b->setFont(font);
    if (help > 0)
        HelpContext::set(b, help);
    return b;
}

// A button showing a picture only; screen readers say what it does.
QPushButton* pictureButton(QWidget* parent, const char* name, const char* image, const QString& meaning, int left,
                           int top, int width, int height, int help, const QFont& font)
{
    auto* b = button(parent, name, QString(), left, top, width, height, help, font);
    b->setAccessibleName(meaning);
    const QPixmap picture(QString::fromLatin1(image));
    b->setIcon(picture);
    b->setIconSize(picture.size());
    return b;
}
} // namespace

frmAdding::frmAdding()
    : adoCat(QStringLiteral("adoCat"), QStringLiteral("SELECT Categories\r\nFROM Categories\r\nORDER BY Categories"))
    , adoCart(QStringLiteral("adoCart"), QStringLiteral("SELECT * FROM Cartstock\r\nORDER BY Item"))
    , adoSettings(QStringLiteral("adoSettings"), QStringLiteral("Settings2"))
{
    setObjectName(QStringLiteral("frmAdding"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Enter Info"));
    setFont(DesignFont::make(QStringLiteral("Souvenir Lt BT"), 9.75));
    adoCat.setObjectName(QStringLiteral("adoCat"));
    adoCart.setObjectName(QStringLiteral("adoCart"));
    adoSettings.setObjectName(QStringLiteral("adoSettings"));
    adoPrimaryRS.setObjectName(QStringLiteral("adoPrimaryRS"));

    buildControls();
    buildMenus();
    MenuBarAccess::setUp(*this);
    ChordGuard::install(*this);
    ReturnPressesButton::install(*this);
    FocusMark::install(*this);
    connectHandlers();
    resize(Twips::size(9795, 9090) + QSize(0, menuBar()->sizeHint().height()));
    // Key preview: the window sees every key before the control that has the focus.
    WindowKeys::install(*this, [this](QWidget& control, QKeyEvent& key) { return previewKey(control, key); });
}

frmAdding::~frmAdding()
{
    forget(this);
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

void frmAdding::buildControls()
{
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);

    struct Box {
        const char* caption;
        int top;
        int labelWidth;
        int boxWidth;
        int help;
    };
    // Index order ties each box and label to its field: Aisle, Category, ID, Item.
    const Box boxes[] = {{"Aisle:", 990, 1695, 3375, 33},
                         {"Category:", 525, 1695, 3375, 32},
                         {"ID:", 1455, 1095, 735, 0},
                         {"Item:", 60, 1695, 3375, 31}};
    const QFont boxFont = DesignFont::make(QStringLiteral("AvantGarde Bk BT"), 14.25);
    for (int i = 0; i < 4; ++i) {
        const Box& b = boxes[i];
        auto* label = Place::control<QLabel>(client, "lblLabels", 0, b.top, b.labelWidth, 465);
        label->setText(QString::fromLatin1(b.caption));
        label->setProperty("index", i);
        lblLabels << label;
        auto* box = Place::control<QLineEdit>(client, "txtFields", 1680, b.top, b.boxWidth, 465);
        box->setProperty("index", i);
        // The label beside a box names it to screen readers.
        label->setBuddy(box);
        // A box keeps 32767 characters by default and cuts a longer paste silently.
        box->setMaxLength(std::numeric_limits<int>::max());
        if (b.help > 0)
            HelpContext::set(box, b.help);
        if (i == IdField) {
            box->setReadOnly(true);
            box->setFocusPolicy(Qt::ClickFocus);
        } else {
            box->setFont(boxFont);
        }
        txtFields << box;
    }

    const QFont comboFont = DesignFont::make(QStringLiteral("Souvenir Lt BT"), 11.25, true);
    lblSearchBox = Place::control<QLabel>(client, "lblSearchBox", 6840, 0, 2775, 495);
    lblSearchBox->setText(QStringLiteral("Search"));
    lblSearchBox->setAlignment(Qt::AlignCenter);
    cboFind = Place::control<DataCombo>(client, "cboFind", 6840, 480, 2775, 7590, adoCart.recordset(),
                                        QStringLiteral("Item"), QStringLiteral("ID"));
    cboFind->setFont(comboFont);
    HelpContext::set(cboFind, 36);
    lblCatList = Place::control<QLabel>(client, "lblCatList", 120, 2160, 2655, 495);
    lblCatList->setText(QStringLiteral("Category List"));
    lblCatList->setAlignment(Qt::AlignCenter);
    cboCat = Place::control<DataCombo>(client, "cboCat", 120, 2640, 2655, 5025, adoCat.recordset(),
                                       QStringLiteral("Categories"), QString());
    cboCat->setFont(comboFont);
    HelpContext::set(cboCat, 34);
    // A combo's field is not the label's sibling, where screen readers look for a label.
    cboFind->textField()->setAccessibleName(lblSearchBox->text());
    cboCat->textField()->setAccessibleName(lblCatList->text());
    cboFind->list()->setAccessibleName(QStringLiteral("Items to search"));
    cboCat->list()->setAccessibleName(QStringLiteral("Categories"));
    // The tip goes where the focus lands, so screen readers say it too, and on the list below.
    for (QWidget* part : {static_cast<QWidget*>(cboCat->textField()), static_cast<QWidget*>(cboCat->list())})
        part->setToolTip(QStringLiteral("Click to change the current record's category."));

    cmdRefreshCombo =
        button(client, "cmdRefreshCombo", QStringLiteral("Update List -->"), 4920, 2400, 1815, 615, 46, buttonFont());
    cmdQuit = pictureButton(client, "cmdQuit", ":/images/exit_editor.png", QStringLiteral("Exit"), 5880, 6360, 975, 600,
                            35, buttonFont());
    cmdEaster = pictureButton(client, "cmdEaster", ":/images/easter.png", QStringLiteral("Easter egg"), 5880, 7080, 975,
                              735, 0, buttonFont());

    // Plain widgets, not frames: screen readers take a frame for a window.
    picButtons = Place::control<QWidget>(client, "picButtons", 0, 7890, 9795, 540);
    picButtons->setFont(smallFont());
    keepDesignGround(picButtons);
    picButtons->setAccessibleName(QStringLiteral("Record commands"));
    cmdAdd = button(picButtons, "cmdAdd", QStringLiteral("&Add"), 59, 0, 1095, 400, 38, buttonFont());
    cmdEdit = button(picButtons, "cmdEdit", QStringLiteral("&Edit"), 1213, 0, 1110, 400, 48, buttonFont());
    cmdDelete = button(picButtons, "cmdDelete", QStringLiteral("&Delete"), 2367, 0, 1215, 400, 39, buttonFont());
    cmdRefresh = button(picButtons, "cmdRefresh", QStringLiteral("&Refresh"), 3720, 0, 1095, 400, 45, buttonFont());
    QPalette grey = cmdRefresh->palette();
    grey.setColor(QPalette::Button, QColor(192, 192, 192));
    cmdRefresh->setPalette(grey);
    cmdUpdate = button(picButtons, "cmdUpdate", QStringLiteral("&Update"), 59, 0, 1095, 400, 40, buttonFont());
    cmdCancel = button(picButtons, "cmdCancel", QStringLiteral("&Cancel"), 1213, 0, 1095, 400, 47, buttonFont());
    cmdUpdate->hide();
    cmdCancel->hide();

    picStatBox = Place::control<QWidget>(client, "picStatBox", 0, 8430, 9795, 660);
    picStatBox->setFont(smallFont());
    keepDesignGround(picStatBox);
    picStatBox->setAccessibleName(QStringLiteral("Record position"));
    cmdFirst = pictureButton(picStatBox, "cmdFirst", ":/images/nav_first.png", QStringLiteral("First record"), 0, 0,
                             345, 300, 41, smallFont());
    cmdPrevious = pictureButton(picStatBox, "cmdPrevious", ":/images/nav_previous.png",
                                QStringLiteral("Previous record"), 345, 0, 345, 300, 44, smallFont());
    lblStatus = Place::control<QLabel>(picStatBox, "lblStatus", 690, 0, 3360, 525);
    lblStatus->setFont(smallFont());
    lblStatus->setFrameShape(QFrame::Box);
    lblStatus->setAutoFillBackground(true);
    QPalette white = lblStatus->palette();
    white.setColor(QPalette::Window, Qt::white);
    lblStatus->setPalette(white);
    lblStatus->setToolTip(QStringLiteral("Ctrl+I says which record is shown."));
    cmdNext = pictureButton(picStatBox, "cmdNext", ":/images/nav_next.png", QStringLiteral("Next record"), 4200, 0, 345,
                            300, 43, smallFont());
    cmdLast = pictureButton(picStatBox, "cmdLast", ":/images/nav_last.png", QStringLiteral("Last record"), 4545, 0, 345,
                            300, 42, smallFont());

    // A combo takes the focus in its text field, so the order is set on the fields.
    const QList<QWidget*> focusOrder = {txtFields[ItemField],
                                        txtFields[CategoryField],
                                        txtFields[AisleField],
                                        txtFields[IdField],
                                        cmdFirst,
                                        cmdPrevious,
                                        cmdNext,
                                        cmdLast,
                                        cmdAdd,
                                        cmdEdit,
                                        cmdDelete,
                                        cmdRefresh,
                                        cmdUpdate,
                                        cmdCancel,
                                        cmdQuit,
                                        cboFind->textField(),
                                        cmdRefreshCombo,
                                        cboCat->textField(),
                                        cmdEaster};
    for (int i = 1; i < focusOrder.size(); ++i)
        setTabOrder(focusOrder.at(i - 1), focusOrder.at(i));
}

void frmAdding::buildMenus()
{
    QMenuBar* bar = menuBar();
    // "Help" and "Exit" are menu titles that run their command when chosen.
    mnuHelp = bar->addAction(QStringLiteral("Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuOptions = bar->addMenu(QStringLiteral("Options"));
    mnuOptions->setObjectName(QStringLiteral("mnuOptions"));
    mnuFont = mnuOptions->addAction(QStringLiteral("Font"));
    mnuFont->setObjectName(QStringLiteral("mnuFont"));
    mnuBackColor = mnuOptions->addAction(QStringLiteral("Back Color (text background areas && buttons)"));
    mnuBackColor->setObjectName(QStringLiteral("mnuBackColor"));
    mnuFontColor = mnuOptions->addAction(QStringLiteral("Font && Form Color"));
    mnuFontColor->setObjectName(QStringLiteral("mnuFontColor"));
    mnuExit = bar->addAction(QStringLiteral("Exit"));
    mnuExit->setObjectName(QStringLiteral("mnuExit"));
}

void frmAdding::connectHandlers()
{
    const auto guarded = [this](void (frmAdding::*handler)()) { return UserAction::slot(this, handler); };
    connect(cmdAdd, &QPushButton::clicked, this, guarded(&frmAdding::cmdAddClicked));
    connect(cmdEdit, &QPushButton::clicked, this, guarded(&frmAdding::cmdEditClicked));
    connect(cmdUpdate, &QPushButton::clicked, this, guarded(&frmAdding::cmdUpdateClicked));
    connect(cmdCancel, &QPushButton::clicked, this, &frmAdding::cmdCancelClicked);
    connect(cmdDelete, &QPushButton::clicked, this, guarded(&frmAdding::cmdDeleteClicked));
    connect(cmdRefresh, &QPushButton::clicked, this, guarded(&frmAdding::cmdRefreshClicked));
    connect(cmdFirst, &QPushButton::clicked, this, guarded(&frmAdding::cmdFirstClicked));
    connect(cmdLast, &QPushButton::clicked, this, guarded(&frmAdding::cmdLastClicked));
    connect(cmdNext, &QPushButton::clicked, this, guarded(&frmAdding::cmdNextClicked));
    connect(cmdPrevious, &QPushButton::clicked, this, guarded(&frmAdding::cmdPreviousClicked));
    connect(cboCat, &DataCombo::clicked, this, guarded(&frmAdding::cboCatClicked));
    connect(cboFind, &DataCombo::clicked, this, guarded(&frmAdding::cboFindClicked));
    connect(cmdRefreshCombo, &QPushButton::clicked, this, guarded(&frmAdding::cmdRefreshComboClicked));
    connect(cmdEaster, &QPushButton::clicked, this, guarded(&frmAdding::cmdEasterClicked));
    connect(cmdQuit, &QPushButton::clicked, this, &frmAdding::closeSequence);
    connect(mnuExit, &QAction::triggered, this, &frmAdding::closeSequence);
    connect(mnuFont, &QAction::triggered, this, [this] { UserAction::run([&] { DialogShowing(1); }, this); });
    connect(mnuBackColor, &QAction::triggered, this, [this] { UserAction::run([&] { DialogShowing(2); }, this); });
    connect(mnuFontColor, &QAction::triggered, this, [this] { UserAction::run([&] { DialogShowing(4); }, this); });
    connect(mnuHelp, &QAction::triggered, this, guarded(&frmAdding::mnuHelpClicked));
    for (int i = 0; i < txtFields.size(); ++i) {
        connect(txtFields[i], &QLineEdit::textChanged, this,
                [this, i](const QString& text) { UserAction::run([&] { txtFieldsChanged(i, text); }, this); });
    }
    connect(&adoPrimaryRS.cursor(), &RowCursor::moveComplete, this, &frmAdding::adoPrimaryRSMoveComplete);
    connect(&adoPrimaryRS.cursor(), &RowCursor::rowChanged, this, [this](int row) {
        if (row == adoPrimaryRS.currentRow())
            showRecord();
    });
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(f1, &QShortcut::activated, this, &frmAdding::showHelpForFocus);
    // The status label takes no focus, so a screen reader reaches it only by this key.
    auto* status = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_I), this);
    connect(status, &QShortcut::activated, this, &frmAdding::sayStatus);
}

void frmAdding::sayStatus() { SpokenNotice::say(lblStatus, lblStatus->text()); }

ConnectionTarget frmAdding::connectionTarget()
{
    return {[this](const QString& path) { ComDia.HelpFile = path; }, {&adoCat, &adoCart, &adoSettings}};
}

void frmAdding::formLoad()
{
    SetConnections(2);
    CheckSettings();
    m_connection = std::make_shared<Connection>(QStringLiteral("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=") +
                                                    databaseFilePath() + u';',
                                                databaseFilePath());
    m_connection->open();
    adoPrimaryRS.open(m_connection, QStringLiteral("select Aisle,Category,ID,Item from Cartstock Order by Item"));
    showRecord();
    // The search and category lists fill from their own sources once the window is built.
    adoCat.refresh();
    adoCart.refresh();
    cboCat->refresh();
    cboFind->refresh();
}

QString frmAdding::fieldOf(int index)
{
    static const QString fields[] = {QStringLiteral("Aisle"), QStringLiteral("Category"), QStringLiteral("ID"),
                                     QStringLiteral("Item")};
    return fields[index];
}

// The boxes show the current record; with none there is nothing to type into.
void frmAdding::showRecord()
{
    m_showingRecord = true;
    const int row = adoPrimaryRS.currentRow();
    for (int i = 0; i < txtFields.size(); ++i) {
        const int column = adoPrimaryRS.fieldIndex(fieldOf(i));
        const QString value = row >= 0 && column >= 0 ? adoPrimaryRS.rowValue(row, column).toString() : QString();
        // The box being typed into already shows its value; setting it again would move the caret.
        if (txtFields[i]->text() != value)
            txtFields[i]->setText(value);
        if (i != IdField)
            txtFields[i]->setReadOnly(row < 0);
    }
    m_showingRecord = false;
}

void frmAdding::txtFieldsChanged(int index, const QString& text)
{
    if (m_showingRecord || index == IdField || !adoPrimaryRS.hasCurrent())
        return;
    adoPrimaryRS.setValue(fieldOf(index), text.isEmpty() ? QVariant() : QVariant(text));
}

void frmAdding::adoPrimaryRSMoveComplete()
{
    // A move off the record being added or edited (a search, a refresh of the lists) has
    // stored it, or dropped a new one left empty: nothing is left to update or cancel.
    // Update itself decides the mode after storing.
    const bool addEnded = !m_updating && AddingRecord && adoPrimaryRS.editMode() != Recordset::EditMode::Add;
    const bool editLeft =
        !m_updating && EditingRecord && (!adoPrimaryRS.hasCurrent() || adoPrimaryRS.bookmark() != m_editedRecord);
    if (addEnded || editLeft)
        backToBrowsing();
    showRecord();
    // The moves inside an Update are not the user's: the status keeps saying the mode until
    // Update has decided where the editor stands.
    if (!m_updating)
        showPosition();
}

void frmAdding::showPosition()
{
    const int position = adoPrimaryRS.absolutePosition();
    lblStatus->setText(position > 0 ? QStringLiteral("Record: %1").arg(position) : QStringLiteral("Record: none"));
    // The focus stays where it was, so a screen reader hears the boxes' new texts at most.
    sayStatus();
}

void frmAdding::ApplyBrowseState(bool browsing)
{
    cmdAdd->setVisible(browsing);
    cmdEdit->setVisible(browsing);
    cmdUpdate->setVisible(!browsing);
    cmdCancel->setVisible(!browsing);
    cmdDelete->setVisible(browsing);
    cmdQuit->setVisible(browsing);
    cmdRefresh->setVisible(browsing);
    cmdNext->setEnabled(browsing);
    cmdFirst->setEnabled(browsing);
    cmdLast->setEnabled(browsing);
    cmdPrevious->setEnabled(browsing);
}

// The file refused the record and the record set keeps nothing of it. The boxes show again
// what the user typed, as a record still to be stored, so they can correct it and press
// Update again, or Cancel.
void frmAdding::offerAgain(const QStringList& typed)
{
    if (AddingRecord && adoPrimaryRS.editMode() != Recordset::EditMode::Add)
        adoPrimaryRS.addNew();
    if (!adoPrimaryRS.hasCurrent())
        return;
    for (int i = 0; i < txtFields.size(); ++i) {
        if (i != IdField)
            txtFields[i]->setText(typed.at(i));
    }
}

// Another program changed or deleted the record since it was read. What was typed goes
// nowhere (the message names it): the editor browses the record as the file now holds it,
// or the one next to it, and the search list reads the file again.
void frmAdding::showStoredAfterConflict(const RowConflict& conflict)
{
    backToBrowsing();
    showPosition();
    const QString shownNow = !conflict.rowGone()         ? QStringLiteral("the record as the file now holds it")
                             : adoPrimaryRS.hasCurrent() ? QStringLiteral("the record next to it")
                                                         : QStringLiteral("no record: the catalogue is empty");
    MessageBox::show(conflict.description() + QStringLiteral("\n\nThe editor shows ") + shownNow + u'.',
                     MessageBox::Buttons::Ok, this);
    adoCart.recordset().requery();
    cboFind->refresh();
    cboFind->setText(adoPrimaryRS.hasCurrent() ? adoPrimaryRS.value(fieldOf(ItemField)).toString() : QString());
}

void frmAdding::backToBrowsing()
{
    EditingRecord = false;
    AddingRecord = false;
    ApplyBrowseState(true);
}

void frmAdding::cmdAddClicked()
{
    if (!(adoPrimaryRS.bof() && adoPrimaryRS.eof()))
        ReturnPosition = adoPrimaryRS.absolutePosition();
    adoPrimaryRS.addNew();
    lblStatus->setText(QStringLiteral("Add record"));
    AddingRecord = true;
    ApplyBrowseState(false);
    txtFields[ItemField]->setFocus();
}

void frmAdding::cmdEditClicked()
{
    m_editedRecord = adoPrimaryRS.hasCurrent() ? adoPrimaryRS.bookmark() : 0;
    lblStatus->setText(QStringLiteral("Edit record"));
    EditingRecord = true;
    ApplyBrowseState(false);
}

void frmAdding::cmdUpdateClicked()
{
    QStringList typed;
    for (const QLineEdit* box : txtFields)
        typed << box->text();
    m_updating = true;
    try {
        adoPrimaryRS.update();
    } catch (const RowConflict& conflict) {
        m_updating = false;
        showStoredAfterConflict(conflict);
        return;
    } catch (...) {
        // Nothing was stored and the editor did not move: it is still adding or editing, with
        // what was typed.
        offerAgain(typed);
        m_updating = false;
        throw;
    }
    m_updating = false;
    if (AddingRecord)
        adoPrimaryRS.moveLast();
    backToBrowsing();
    adoCart.recordset().requery();
    cboFind->refresh();
}

// Every step is attempted; one that fails is skipped.
void frmAdding::cmdCancelClicked()
{
    ApplyBrowseState(true);
    EditingRecord = false;
    AddingRecord = false;
    const auto attempt = [](const std::function<void()>& step) {
        try {
            step();
        } catch (const std::exception&) {
        }
    };
    attempt([&] { adoPrimaryRS.cancelUpdate(); });
    attempt([&] {
        if (ReturnPosition > 0)
            adoPrimaryRS.setAbsolutePosition(ReturnPosition);
        else
            adoPrimaryRS.moveFirst();
    });
}

void frmAdding::cmdDeleteClicked()
{
    if (MessageBox::show(QStringLiteral("Are you sure you want to delete this record?"), MessageBox::Buttons::YesNo,
                         this) == MessageBox::Answer::No)
        return;
    adoPrimaryRS.deleteCurrent();
    adoPrimaryRS.moveNext();
    // After the last record of all is deleted there is no last record to go to.
    if (adoPrimaryRS.eof() && adoPrimaryRS.recordCount() > 0)
        adoPrimaryRS.moveLast();
    adoCart.refresh();
    cboFind->refresh();
}

void frmAdding::cmdRefreshClicked() { adoPrimaryRS.requery(); }

void frmAdding::cmdFirstClicked() { adoPrimaryRS.moveFirst(); }

void frmAdding::cmdLastClicked() { adoPrimaryRS.moveLast(); }

void frmAdding::cmdNextClicked()
{
    if (!adoPrimaryRS.eof())
        adoPrimaryRS.moveNext();
    if (adoPrimaryRS.eof() && adoPrimaryRS.recordCount() > 0) {
        SystemBeep::beep();
        adoPrimaryRS.moveLast();
    }
}

void frmAdding::cmdPreviousClicked()
{
    if (!adoPrimaryRS.bof())
        adoPrimaryRS.movePrevious();
    if (adoPrimaryRS.bof() && adoPrimaryRS.recordCount() > 0) {
        SystemBeep::beep();
        adoPrimaryRS.moveFirst();
    }
}

void frmAdding::cboCatClicked()
{
    const QString text = cboCat->text();
    if (text.isEmpty())
        return;
    txtFields[CategoryField]->setText(text);
    if (cboCat->matchedWithList())
        return;
    Recordset& rs = adoCat.recordset();
    rs.addNew();
    rs.setValue(QStringLiteral("Categories"), text);
    rs.update();
    rs.requery();
    adoCat.refresh();
    cboCat->refresh();
}

void frmAdding::cboFindClicked()
{
    if (cboFind->boundText().isEmpty())
        return;
    cboFind->refresh();
    // The record being added or edited is stored before the search moves off it: a refusal
    // is told, with what was not stored, and the search goes no further.
    if (adoPrimaryRS.isDirty())
        adoPrimaryRS.update();
    // From here a failure ends the search quietly; the positions reached stay.
    try {
        adoCart.recordset().moveFirst();
        if (!cboFind->matchedWithList()) {
            MessageBox::show(QStringLiteral("Can't find ") + cboFind->text() + u'.', MessageBox::Buttons::Ok, this);
            cboFind->setText(QString());
            return;
        }
        adoCart.recordset().find(QStringLiteral("ID = ") + Criteria::quoted(cboFind->boundText()));
        adoPrimaryRS.moveFirst();
        adoPrimaryRS.find(QStringLiteral("ID = ") + Criteria::quoted(cboFind->boundText()));
    } catch (const std::exception&) {
    }
}

void frmAdding::cmdRefreshComboClicked()
{
    adoCart.refresh();
    cboFind->refresh();
    try {
        adoPrimaryRS.requery();
    } catch (const std::exception&) {
    }
}

void frmAdding::cmdEasterClicked()
{
    MessageBox::show(QStringLiteral("This does nothing."), MessageBox::Buttons::Ok, this);
}

void frmAdding::mnuHelpClicked() { HelpViewer::showTopic(ComDia.HelpFile, HelpTopic, this); }

void frmAdding::showHelpForFocus()
{
    HelpViewer::showTopic(ComDia.HelpFile, HelpContext::forFocus(this, HelpTopic), this);
}

void frmAdding::CheckSettings() { Appearance::CheckSettings(*this, adoSettings, Appearance::Window::Editor); }

void frmAdding::DialogShowing(short selector)
{
    Appearance::DialogShowing(*this, adoSettings, ComDia, selector, Appearance::Window::Editor);
}

bool frmAdding::previewKey(QWidget& control, const QKeyEvent& key)
{
    // A key is offered once, to the control that has the focus.
    const QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : focusWidget();
    if (&control == focus || (!focus && &control == this))
        UserAction::run([&] { keyPreview(&key); }, this);
    // Enter in a text box moves on to the next control instead of being typed.
    if (txtFields.contains(&control) && (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter)) {
        focusNextChild();
        return true;
    }
    return false;
}

void frmAdding::keyPreview(const QKeyEvent* event)
{
    if (EditingRecord || AddingRecord)
        return;
    const bool ctrlOnly = event->modifiers() == Qt::ControlModifier;
    switch (event->key()) {
    case Qt::Key_End:
        cmdLastClicked();
        break;
    case Qt::Key_Home:
        cmdFirstClicked();
        break;
    case Qt::Key_Up:
    case Qt::Key_PageUp:
        ctrlOnly ? cmdFirstClicked() : cmdPreviousClicked();
        break;
    case Qt::Key_Down:
    case Qt::Key_PageDown:
        ctrlOnly ? cmdLastClicked() : cmdNextClicked();
        break;
    default:
        break;
    }
}

void frmAdding::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    layoutStrips();
    layoutStatusStrip();
}

// The two strips stay at the bottom of the window at its full width.
void frmAdding::layoutStrips()
{
    const QWidget* client = centralWidget();
    const int statHeight = Twips::px(660);
    const int buttonsHeight = Twips::px(540);
    picStatBox->setGeometry(0, client->height() - statHeight, client->width(), statHeight);
    picButtons->setGeometry(0, client->height() - statHeight - buttonsHeight, client->width(), buttonsHeight);
}

// The status label follows the window's width; a step that cannot be done is skipped.
void frmAdding::layoutStatusStrip()
{
    const double outerWidth = frameGeometry().width() * Twips::PerPixel;
    const double statusWidth = outerWidth - 1500;
    if (statusWidth >= 0)
        lblStatus->resize(Twips::px(statusWidth), lblStatus->height());
    const double nextLeft = lblStatus->width() * Twips::PerPixel + 700;
    cmdNext->move(Twips::px(nextLeft), cmdNext->y());
    cmdLast->move(Twips::px(nextLeft + 340), cmdLast->y());
}

// A record being added or edited when the window closes is kept as Update would keep it;
// a new record nobody filled in is dropped.
void frmAdding::savePendingRecord()
{
    if (adoPrimaryRS.editMode() == Recordset::EditMode::None)
        return;
    if (adoPrimaryRS.editMode() == Recordset::EditMode::Add && !adoPrimaryRS.isDirty()) {
        adoPrimaryRS.cancelUpdate();
        return;
    }
    try {
        adoPrimaryRS.update();
    } catch (const std::exception& e) {
        MessageBox::show(QString::fromStdString(e.what()), MessageBox::Buttons::Ok, this);
        adoPrimaryRS.cancelUpdate();
    }
}

void frmAdding::closeSequence()
{
    if (ClosingEditor) {
        close();
        return;
    }
    ClosingEditor = true;
    savePendingRecord();
    EditingRecord = false;
    AddingRecord = false;
    UserAction::run(
        [&] {
            adoCart.refresh();
            if (adoCart.recordset().recordCount() > 0) {
                adoCart.recordset().moveFirst();
                adoCart.recordset().update();
            }
            emit mainWindowRequested();
        },
        this);
    close();
}

void frmAdding::closeEvent(QCloseEvent* event)
{
    if (!ClosingEditor)
        closeSequence();
    event->accept();
    forget(this);
}
