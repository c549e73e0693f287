#include "Shopper.h"

#include "CommonDialog.h"
#include "DataCombo.h"
#include "DataGrid.h"
#include "DataList.h"
#include "MenuClicks.h"
#include "MessageBox.h"
#include "SetConnections.h"
#include "Startup.h"
#include "UserMoves.h"
#include "frmAdding.h"
#include "frmCartstock.h"

#include <QDateEdit>
#include <QFile>
#include <QJsonDocument>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTreeView>

#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

using namespace UserMoves;

namespace {
// Texts a household types, and texts that try the store: quotes, SQL, every script, emoji,
// spaces kept at the ends, numbers that must stay text. Control characters are refused, not
// stored, and have tests of their own.
const QStringList Texts =
    QStringLiteral("Milk|O'Brien's tea|\"Best\" butter|Robert'); DROP TABLE Selected;--|"
                   "Crème brûlée|日本茶|خبز عربي|👨‍👩‍👧 family pack|NULL|  spaced  |007")
        .split(u'|') +
    QStringList{QString(1500, u'w')};
const QStringList Quantities = QStringLiteral("1|12|-1|2 kg|½|").split(u'|');
const QStringList Families = {QStringLiteral("Arial"), QStringLiteral("Courier New"), QStringLiteral("DejaVu Sans"),
                              QStringLiteral("Souvenir Lt BT")};

} // namespace

Shopper::Shopper(quint32 seed, const QString& sideFile)
    : m_random(seed)
    , m_side(::open(QFile::encodeName(sideFile).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644))
{
    if (m_side < 0)
        fail(QStringLiteral("cannot open ") + sideFile);
}

Shopper::~Shopper() { ::close(m_side); }

// One line, written and synced before anything else happens, so it outlives a kill at any
// moment after.
void Shopper::note(const QJsonObject& object)
{
    const QByteArray line = QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
    if (::write(m_side, line.constData(), size_t(line.size())) != line.size() || ::fsync(m_side) != 0)
        fail(QStringLiteral("cannot write the side file"));
}

void Shopper::begin() { note({{QStringLiteral("begin"), m_sequence + 1}}); }

void Shopper::finish(bool catalogue)
{
    if (!MessageBox::unexpectedTexts().isEmpty())
        fail(QStringLiteral("a message nobody expected: ") + MessageBox::unexpectedTexts().join(QStringLiteral(" | ")));
    if (MessageBox::pendingAnswers() > 0 || CommonDialog::pendingAnswers() > 0 || CommonDialog::unexpectedDialogs() > 0)
        fail(QStringLiteral("a question or dialog came that was not expected, or did not come"));
    const ListState now = ListState::read(databaseFilePath());
    if (const QString problem = shownButNotHeld(now, catalogue); !problem.isEmpty())
        fail(problem);
    m_state = now;
    ++m_sequence;
    note({{QStringLiteral("ack"), m_sequence}, {QStringLiteral("state"), now.toJson()}});
}

Shopper::Record Shopper::read(const QByteArray& sideFile)
{
    Record record;
    for (const QByteArray& line : sideFile.split('\n')) {
        // A line cut off by the kill was never acknowledged.
        const QJsonObject object = QJsonDocument::fromJson(line).object();
        if (object.contains(QStringLiteral("ack"))) {
            record.states << ListState::fromJson(object.value(QStringLiteral("state")).toObject());
            record.running = false;
        } else if (object.value(QStringLiteral("begin")).toInt() == record.states.size()) {
            record.running = !record.states.isEmpty();
        }
    }
    return record;
}

void Shopper::start()
{
    if (!Startup::Main())
        fail(QStringLiteral("the program did not start: ") + MessageBox::shownTexts().join(u' '));
    finish(true);
}

// The catalogue view is compared once the editor has closed: it shows the catalogue as it was
// when the editor opened until then.
void Shopper::step()
{
    begin();
    const int roll = below(100);
    const bool closing = frmAdding::loaded() && roll >= 80;
    if (frmAdding* e = frmAdding::loaded()) {
        if (closing) {
            click(*e, "cmdQuit");
        } else if (roll < 35) {
            addItem(*e);
        } else if (roll < 60 || (roll < 72 && m_state.cartstock.size() > 5)) {
            // A record found with the search list (an item without a name cannot be searched
            // for), edited or deleted.
            QString name;
            while (name.isEmpty())
                name = m_state.cartstock.at(below(int(m_state.cartstock.size()))).at(ListState::ItemName).toString();
            clickEntry(control<DataCombo>(*e, "cboFind")->list(), name);
            if (roll >= 60) {
                MessageBox::queueAnswer(MessageBox::Answer::Yes);
                click(*e, "cmdDelete");
            } else {
                click(*e, "cmdEdit");
                for (int box : {3, 1, 0}) {
                    if (chance(60))
                        paste(control<QLineEdit>(*e, "txtFields", box), anyText());
                }
                click(*e, "cmdUpdate");
            }
        } else {
            chooseLooks(true);
        }
        return finish(closing);
    }
    frmCartstock& w = mainWindow();
    DataGrid* grid = control<DataGrid>(w, "grdList");
    const bool listed = !m_state.selected.isEmpty();
    if (m_state.selected.size() > 120 || roll < 4) {
        if (listed)
            MessageBox::queueAnswer(MessageBox::Answer::Yes);
        click(w, "cmdClearAll");
    } else if (roll < 40 || (roll < 58 && !listed) || (roll < 67 && !grid->isEnabled())) {
        // An empty list's grid is disabled, and its new-row line with it.
        addTickedItems(w);
    } else if (roll < 58) {
        static const char* const fields[] = {"Item", "Category", "Aisle", "Quantity", "Date"};
        const int field = below(5);
        const QString text = field == 4   ? anyDate().toString(Qt::ISODate)
                             : field == 3 ? Quantities.at(below(int(Quantities.size())))
                                          : anyText();
        editCell(grid, below(int(m_state.selected.size())), QString::fromLatin1(fields[field]), text);
    } else if (roll < 67) {
        editCell(grid, grid->model()->rowCount() - 1, QStringLiteral("Item"), anyText());
    } else if (roll < 75) {
        enterDate(control<QDateEdit>(w, "DTPick"), anyDate());
        if (listed)
            MessageBox::queueAnswer(MessageBox::Answer::Yes);
        click(w, "cmdChangeDates");
    } else if (roll < 80 && !m_state.categories.isEmpty()) {
        clickEntry(control<DataList>(w, "lstCat"), anyCategory());
        MessageBox::queueAnswer(MessageBox::Answer::Yes);
        click(w, "cmdDelCat");
    } else if (roll < 88) {
        chooseLooks(false);
    } else {
        chooseFromMenu(w, QStringLiteral("Add"));
    }
    finish();
}

QString Shopper::anyText() { return Texts.at(below(int(Texts.size()))); }

QDate Shopper::anyDate() { return QDate(2026, 1, 1).addDays(below(3 * 365)); }

QString Shopper::anyCategory() { return m_state.categories.at(below(int(m_state.categories.size()))); }

void Shopper::addTickedItems(frmCartstock& w)
{
    if (m_state.categories.isEmpty() || chance(60))
        click(w, "cmdAll");
    else
        clickEntry(control<DataList>(w, "lstCat"), anyCategory());
    if (chance(30))
        enterDate(control<QDateEdit>(w, "DTPick"), anyDate());
    const int n = control<QTreeView>(w, "lvwItems")->model()->rowCount();
    QList<int> ticked;
    for (int i = 0, wanted = n == 0 ? 0 : 1 + below(std::min(20, n)); i < n && ticked.size() < wanted; ++i) {
        // Each remaining row has the chance that fills the wanted count by the end.
        if (below(n - i) < wanted - ticked.size())
            ticked << i;
    }
    tick(control<QTreeView>(w, "lvwItems"), ticked);
    click(w, "cmdAddToList");
}

// A font, a back colour or a text and window colour, chosen from the window's Options menu.
void Shopper::chooseLooks(bool inEditor)
{
    const int kind = below(3);
    if (kind == 0)
        CommonDialog::queueFont({Families.at(below(int(Families.size()))), 12, chance(50), chance(50)});
    else
        CommonDialog::queueColor(QColor(below(256), below(256), below(256)));
    const QString back =
        inEditor ? QStringLiteral("Back Color (text background areas & buttons)") : QStringLiteral("Back Color");
    chooseFromMenu(inEditor ? static_cast<QMainWindow&>(editor()) : mainWindow(), QStringLiteral("Options"),
                   kind == 0   ? QStringLiteral("Font")
                   : kind == 1 ? back
                               : QStringLiteral("Font & Form Color"));
}

void Shopper::addItem(frmAdding& e)
{
    click(e, "cmdAdd");
    if (chance(35)) {
        // A new category typed into the category list is stored at once, before Update: an
        // action of its own.
        static const QStringList names = {QStringLiteral("Kid's"), QStringLiteral("Épicerie"), QStringLiteral("Bio 🍏"),
                                          QStringLiteral("x' OR '1'='1")};
        enterInCombo(control<DataCombo>(e, "cboCat"),
                     QStringLiteral("%1 %2").arg(names.at(below(int(names.size())))).arg(++m_names));
        finish();
        begin();
    } else {
        paste(control<QLineEdit>(e, "txtFields", frmAdding::CategoryField), anyText());
    }
    paste(control<QLineEdit>(e, "txtFields", frmAdding::ItemField), anyText());
    paste(control<QLineEdit>(e, "txtFields", frmAdding::AisleField),
          chance(70) ? QString::number(1 + below(15)) : anyText());
    click(e, "cmdUpdate");
}
