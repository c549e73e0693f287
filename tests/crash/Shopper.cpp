#include "Shopper.h"

#include "Appearance.h"
#include "CommonDialog.h"
#include "DataCombo.h"
#include "DataGrid.h"
#include "DataList.h"
#include "MenuClicks.h"
#include "MessageBox.h"
#include "Module1.h"
#include "SetConnections.h"
#include "UserMoves.h"
#include "frmAdding.h"
#include "frmCartstock.h"

#include <QDateEdit>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTreeWidget>

#include <stdexcept>

using namespace UserMoves;

namespace {
[[noreturn]] void fail(const QString& why) { throw std::runtime_error(why.toStdString()); }

// Texts a household types, and texts that try the store: quotes, SQL, every script,
// emoji, spaces kept at the ends, control characters, numbers that must stay text.
const QStringList Texts = {
    QStringLiteral("Milk"),
    QStringLiteral("Rye bread"),
    QStringLiteral("O'Brien's tea"),
    QStringLiteral("\"Best\" butter"),
    QStringLiteral("50% cocoa_nibs"),
    QStringLiteral("Robert'); DROP TABLE Selected;--"),
    QStringLiteral("x' OR '1'='1"),
    QStringLiteral("Crème brûlée"),
    QStringLiteral("e\u0301clair"),
    QStringLiteral("日本茶"),
    QStringLiteral("Молоко"),
    QStringLiteral("חלב"),
    QStringLiteral("خبز عربي"),
    QStringLiteral("🍎 apples"),
    QStringLiteral("👨‍👩‍👧 family pack"),
    QStringLiteral("NULL"),
    QStringLiteral("  spaced  "),
    QStringLiteral("007"),
    QStringLiteral("1e3"),
    QStringLiteral("tab\there"),
    QStringLiteral("two\nlines"),
    QString(1500, u'w') + QStringLiteral("!"),
};
const QStringList Quantities = {QStringLiteral("1"), QStringLiteral("2"),    QStringLiteral("12"),
                                QStringLiteral("0"), QStringLiteral("-1"),   QStringLiteral("2 kg"),
                                QStringLiteral("½"), QStringLiteral("NULL"), QStringLiteral("")};
// New category names; each gets a number of its own, so no two are alike by any rule.
const QStringList CategoryNames = {QStringLiteral("Snacks"),    QStringLiteral("Kid's"), QStringLiteral("Épicerie"),
                                   QStringLiteral("日本"),      QStringLiteral("Bio 🍏"), QStringLiteral("x' OR '1'='1"),
                                   QStringLiteral("\"Frozen\"")};
const QStringList Families = {QStringLiteral("Arial"), QStringLiteral("Courier New"), QStringLiteral("Times New Roman"),
                              QStringLiteral("DejaVu Sans"), QStringLiteral("Souvenir Lt BT")};
const double Sizes[] = {8, 9.75, 10, 11.25, 12, 14.25, 18};

QByteArray line(const QJsonObject& object) { return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n'; }

void expectNoStrayDialogs()
{
    if (!MessageBox::unexpectedTexts().isEmpty())
        fail(QStringLiteral("a message nobody expected: ") + MessageBox::unexpectedTexts().join(QStringLiteral(" | ")));
    if (MessageBox::pendingAnswers() > 0 || CommonDialog::pendingAnswers() > 0)
        fail(QStringLiteral("a question or dialog expected did not come"));
    if (CommonDialog::unexpectedDialogs() > 0)
        fail(QStringLiteral("a font or colour dialog nobody expected"));
}
} // namespace

Shopper::Shopper(quint32 seed, const QString& sideFile)
    : m_random(seed)
    , m_side(sideFile)
{
}

void Shopper::start()
{
    m_state = ListState::read(databaseFilePath());
    if (!Module1::Main())
        fail(QStringLiteral("the program did not start: ") + MessageBox::shownTexts().join(u' '));
    checkMainWindowShowsTheFile();
    acknowledge();
}

frmCartstock& Shopper::mainWindow()
{
    if (!frmCartstock::loaded())
        fail(QStringLiteral("the shopping-list window is not there"));
    return *frmCartstock::loaded();
}

frmAdding& Shopper::editor()
{
    if (!frmAdding::loaded())
        fail(QStringLiteral("the item editor is not there"));
    return *frmAdding::loaded();
}

// What the file now holds, on the disk before anything else happens.
void Shopper::acknowledge()
{
    m_side.append(line({{QStringLiteral("ack"), m_sequence}, {QStringLiteral("state"), m_state.toJson()}}));
}

// The action about to start, on the disk before it starts.
void Shopper::begin(const Intent& intent)
{
    QJsonObject record = intent.toJson();
    record.insert(QStringLiteral("intent"), m_sequence + 1);
    m_side.append(line(record));
    m_running = intent;
}

// For the commands that change only the list: the rest is as before.
void Shopper::finishWithListShown(frmCartstock& w)
{
    ListState now = m_state;
    now.selected = listShown(w);
    finish(now);
}

void Shopper::finish(const ListState& now)
{
    expectNoStrayDialogs();
    QString why;
    const Intent::Verdict verdict = m_running->judge(m_state, now, &why);
    if (verdict == Intent::Verdict::NotBegun || verdict == Intent::Verdict::Partly)
        why = verdict == Intent::Verdict::Partly ? QStringLiteral("It shows it partly done.")
                                                 : QStringLiteral("It shows it not done at all.");
    if (verdict != Intent::Verdict::Done)
        fail(QStringLiteral("after \"%1\" the window does not show it done. %2").arg(m_running->what(), why));
    m_state = now;
    m_running.reset();
    ++m_sequence;
    acknowledge();
}

Shopper::Record Shopper::lastAcknowledged(const QByteArray& sideFile)
{
    Record record;
    for (const QByteArray& text : sideFile.split('\n')) {
        QJsonParseError error;
        const QJsonObject object = QJsonDocument::fromJson(text, &error).object();
        // A line cut off by the kill was never acknowledged.
        if (error.error != QJsonParseError::NoError || object.isEmpty())
            continue;
        if (object.contains(QStringLiteral("ack"))) {
            record.sequence = object.value(QStringLiteral("ack")).toInt();
            record.state = ListState::fromJson(object.value(QStringLiteral("state")).toObject());
            record.running.reset();
        } else if (object.value(QStringLiteral("intent")).toInt() == record.sequence + 1) {
            record.running = Intent::fromJson(object);
        }
    }
    return record;
}

void Shopper::checkMainWindowShowsTheFile()
{
    frmCartstock& w = mainWindow();
    if (listShown(w) != m_state.selected)
        fail(QStringLiteral("the list grid does not show the file's list"));
    if (entriesShown(w.lstCat) != m_state.categories)
        fail(QStringLiteral("the category list does not show the file's categories"));
    if (catalogueShown(w.lvwItems) != catalogueAsShown(m_state.cartstock))
        fail(QStringLiteral("the catalogue view does not show the file's catalogue"));
}

void Shopper::step()
{
    if (frmAdding::loaded()) {
        const int roll = below(100);
        if (roll < 35)
            addItem();
        else if (roll < 60)
            editItem();
        else if (roll < 72 && m_state.cartstock.size() > 5)
            deleteItem();
        else if (roll < 80)
            chooseLooks(true);
        else
            closeEditor();
        return;
    }
    const int roll = below(100);
    if (m_state.selected.size() > 120 || roll < 4)
        deleteAll();
    else if (roll < 40)
        addTickedItems();
    else if (roll < 58)
        editListCell();
    else if (roll < 67)
        addRowInGrid();
    else if (roll < 75)
        changeDates();
    else if (roll < 80)
        deleteCategory();
    else if (roll < 88)
        chooseLooks(false);
    else
        openEditor();
}

QString Shopper::anyText() { return Texts.at(below(int(Texts.size()))); }

QString Shopper::anyQuantity() { return Quantities.at(below(int(Quantities.size()))); }

QDate Shopper::anyDate() { return QDate(2026, 1, 1).addDays(below(3 * 365)); }

void Shopper::addTickedItems()
{
    frmCartstock& w = mainWindow();
    const bool all = m_state.categories.isEmpty() || chance(60);
    if (all)
        click(w.cmdAll);
    else
        clickEntry(w.lstCat, below(std::max(1, w.lstCat->model()->rowCount())));
    if (all && catalogueShown(w.lvwItems) != catalogueAsShown(m_state.cartstock))
        fail(QStringLiteral("\"View All\" does not show the file's catalogue"));
    if (chance(30))
        enterDate(w.DTPick, anyDate());

    const int n = w.lvwItems->topLevelItemCount();
    QList<int> ticked;
    for (int i = 0, wanted = n == 0 ? 0 : 1 + below(std::min(20, n)); i < n && ticked.size() < wanted; ++i) {
        // Each remaining row has the chance that fills the wanted count by the end.
        if (below(n - i) < wanted - ticked.size())
            ticked << i;
    }
    QList<QJsonArray> rows;
    for (int i : ticked) {
        const QTreeWidgetItem* item = w.lvwItems->topLevelItem(i);
        rows << QJsonArray{item->text(0), item->text(1), item->text(2), QStringLiteral("1"),
                           w.DTPick->date().toString(Qt::ISODate)};
    }
    tick(w.lvwItems, ticked);
    begin(Intent::addRows(rows));
    click(w.cmdAddToList);
    for (int i = 0; i < w.lvwItems->topLevelItemCount(); ++i) {
        if (w.lvwItems->topLevelItem(i)->checkState(0) != Qt::Unchecked)
            fail(QStringLiteral("a tick stayed after adding"));
    }
    finishWithListShown(w);
}

void Shopper::editListCell()
{
    frmCartstock& w = mainWindow();
    const QList<QJsonArray> rows = listShown(w);
    if (rows.isEmpty()) {
        addTickedItems();
        return;
    }
    const int pick = below(int(rows.size()));
    const int column = ListState::ListItem + below(5);
    static const char* const fields[] = {"ID", "Item", "Category", "Aisle", "Quantity", "Date"};
    QString text;
    if (column == ListState::ListDate)
        text = anyDate().toString(Qt::ISODate);
    else if (column == ListState::ListQuantity)
        text = anyQuantity();
    else
        text = anyText();
    // A cell that held nothing and is left empty keeps nothing.
    const QJsonValue current = rows.at(pick).at(column);
    const QJsonValue meant = current.isNull() && text.isEmpty() ? QJsonValue() : QJsonValue(text);

    const QAbstractItemModel* model = w.grdList->model();
    const int idColumn = gridColumn(w.grdList, QStringLiteral("ID"));
    int gridRow = 0;
    while (gridRow < model->rowCount() &&
           ListState::plain(model->index(gridRow, idColumn).data()) != rows.at(pick).at(ListState::ListId))
        ++gridRow;
    begin(Intent::editCell(rows.at(pick).at(ListState::ListId).toDouble(), column, meant));
    editCell(w.grdList, gridRow, gridColumn(w.grdList, QString::fromLatin1(fields[column])), text);
    finishWithListShown(w);
}

void Shopper::addRowInGrid()
{
    frmCartstock& w = mainWindow();
    // An empty list's grid is disabled, and its new-row line with it.
    if (!w.grdList->isEnabled()) {
        addTickedItems();
        return;
    }
    const QString item = anyText();
    begin(Intent::addRows({QJsonArray{item, QJsonValue(), QJsonValue(), QJsonValue(), QJsonValue()}}));
    editCell(w.grdList, w.grdList->model()->rowCount() - 1, gridColumn(w.grdList, QStringLiteral("Item")), item);
    finishWithListShown(w);
}

void Shopper::changeDates()
{
    frmCartstock& w = mainWindow();
    const QDate date = anyDate();
    enterDate(w.DTPick, date);
    if (!m_state.selected.isEmpty())
        MessageBox::queueAnswer(MessageBox::Answer::Yes);
    begin(Intent::changeDates(date.toString(Qt::ISODate)));
    click(w.cmdChangeDates);
    finishWithListShown(w);
}

void Shopper::deleteAll()
{
    frmCartstock& w = mainWindow();
    if (!m_state.selected.isEmpty())
        MessageBox::queueAnswer(MessageBox::Answer::Yes);
    begin(Intent::clearList());
    click(w.cmdClearAll);
    finishWithListShown(w);
}

void Shopper::deleteCategory()
{
    frmCartstock& w = mainWindow();
    if (m_state.categories.isEmpty()) {
        openEditor();
        return;
    }
    clickEntry(w.lstCat, below(int(m_state.categories.size())));
    const QString name = w.lstCat->text();
    MessageBox::queueAnswer(MessageBox::Answer::Yes);
    begin(Intent::deleteCategory(name));
    click(w.cmdDelCat);
    ListState now = m_state;
    now.categories = entriesShown(w.lstCat);
    finish(now);
}

// A font, a back colour or a text colour, chosen from the window's Options menu; the
// window's controls show it at once.
void Shopper::chooseLooks(bool inEditor)
{
    QMainWindow& window = inEditor ? static_cast<QMainWindow&>(editor()) : mainWindow();
    QWidget* label = inEditor ? static_cast<QWidget*>(editor().lblStatus) : mainWindow().lblCount;
    QJsonArray row = inEditor ? m_state.settings2 : m_state.settings;
    const int kind = below(3);
    QString item;
    std::function<bool()> shown;
    if (kind == 0) {
        const CommonDialog::FontChoice font{Families.at(below(int(Families.size()))),
                                            Sizes[below(int(std::size(Sizes)))], chance(50), chance(50)};
        CommonDialog::queueFont(font);
        row[0] = font.family;
        row[1] = double(float(font.pointSize));
        row[2] = font.italic ? 1 : 0;
        row[3] = font.bold ? 1 : 0;
        item = QStringLiteral("Font");
        shown = [=] { return label->font().family() == font.family && label->font().bold() == font.bold; };
    } else {
        const QColor color(below(256), below(256), below(256));
        CommonDialog::queueColor(color);
        row[kind == 1 ? 4 : 5] = double(Appearance::storedFromColor(color));
        if (kind == 1) {
            item = inEditor ? QStringLiteral("Back Color (text background areas & buttons)")
                            : QStringLiteral("Back Color");
            QWidget* control = inEditor ? static_cast<QWidget*>(editor().cmdAdd) : label;
            const auto role = inEditor ? QPalette::Button : QPalette::Window;
            shown = [=] { return control->palette().color(role) == color; };
        } else {
            item = QStringLiteral("Font & Form Color");
            shown = [=, &window] { return Appearance::windowBackColor(window) == color; };
        }
    }
    begin(Intent::settings(inEditor, row));
    chooseFromMenu(window, QStringLiteral("Options"), item);
    if (!shown())
        fail(QStringLiteral("the window does not show the chosen ") + item);
    ListState now = m_state;
    (inEditor ? now.settings2 : now.settings) = row;
    finish(now);
}

void Shopper::openEditor()
{
    begin(Intent::none(QStringLiteral("open the item editor")));
    chooseFromMenu(mainWindow(), QStringLiteral("Add"));
    frmAdding& e = editor();
    QStringList items;
    for (const QJsonArray& row : m_state.cartstock)
        items << row.at(ListState::ItemName).toString();
    items.sort();
    if (entriesShown(e.cboFind->list()) != items || entriesShown(e.cboCat->list()) != m_state.categories)
        fail(QStringLiteral("the item editor's lists do not show the file's catalogue and categories"));
    finish(m_state);
}

void Shopper::closeEditor()
{
    begin(Intent::none(QStringLiteral("back to the shopping list")));
    click(editor().cmdQuit);
    checkMainWindowShowsTheFile();
    finish(m_state);
}

void Shopper::addItem()
{
    frmAdding& e = editor();
    click(e.cmdAdd);
    QString category = anyText();
    if (chance(35)) {
        // A new category typed into the category list is stored at once, before Update.
        category = QStringLiteral("%1 %2").arg(CategoryNames.at(below(int(CategoryNames.size())))).arg(++m_names);
        begin(Intent::addCategory(category));
        enterInCombo(e.cboCat, category);
        if (e.txtFields.at(1)->text() != category)
            fail(QStringLiteral("the new category is not in the record's Category box"));
        ListState now = m_state;
        now.categories = entriesShown(e.cboCat->list());
        finish(now);
    } else {
        paste(e.txtFields.at(1), category);
    }
    const QString item = anyText();
    const QString aisle = chance(70) ? QString::number(1 + below(15)) : anyText();
    paste(e.txtFields.at(3), item);
    paste(e.txtFields.at(0), aisle);
    begin(Intent::addItem({item, category, aisle}));
    click(e.cmdUpdate);
    ListState now = m_state;
    now.cartstock << recordShown(e);
    finish(now);
}

double Shopper::findRecord()
{
    frmAdding& e = editor();
    QListView* list = e.cboFind->list();
    const int rows = list->model()->rowCount();
    int row = below(rows);
    // An item without a name cannot be searched for by it.
    while (list->model()->index(row, list->modelColumn()).data().toString().isEmpty())
        row = (row + 1) % rows;
    clickEntry(list, row);
    const double id = recordShown(e).at(ListState::ItemId).toDouble();
    if (std::none_of(m_state.cartstock.cbegin(), m_state.cartstock.cend(),
                     [&](const QJsonArray& r) { return r.at(ListState::ItemId).toDouble() == id; }))
        fail(QStringLiteral("the search found a record the file does not have: %1").arg(id));
    return id;
}

void Shopper::editItem()
{
    frmAdding& e = editor();
    const double id = findRecord();
    click(e.cmdEdit);
    for (int box : {3, 1, 0}) {
        if (chance(60))
            paste(e.txtFields.at(box), anyText());
    }
    QJsonArray row = recordShown(e);
    row.removeFirst();
    begin(Intent::editItem(id, row));
    click(e.cmdUpdate);
    ListState now = m_state;
    for (QJsonArray& r : now.cartstock) {
        if (r.at(ListState::ItemId).toDouble() == id)
            r = recordShown(e);
    }
    finish(now);
}

void Shopper::deleteItem()
{
    frmAdding& e = editor();
    const double id = findRecord();
    MessageBox::queueAnswer(MessageBox::Answer::Yes);
    begin(Intent::deleteItem(id));
    click(e.cmdDelete);
    ListState now = m_state;
    now.cartstock.removeIf([&](const QJsonArray& r) { return r.at(ListState::ItemId).toDouble() == id; });
    if (recordShown(e).at(ListState::ItemId).toDouble() == id ||
        e.cboFind->list()->model()->rowCount() != now.cartstock.size())
        fail(QStringLiteral("the item editor still shows deleted item %1").arg(id));
    finish(now);
}
