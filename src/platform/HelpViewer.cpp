#include "HelpViewer.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTextEdit>
#include <QVBoxLayout>
#include <QWindow>

namespace {
struct Script {
    bool active = false;
    bool open = false;
    QList<HelpViewer::Request> requests;
};

Script& script()
{
    static Script s;
    return s;
}

QPointer<HelpViewer>& instance()
{
    static QPointer<HelpViewer> viewer;
    return viewer;
}

const QString WindowTitle = QStringLiteral("Cartlist Help");

// Blank lines part paragraphs and "- " starts a list item; the lines within one are joined,
// so whoever edits the file can wrap them anywhere.
QString toHtml(const QString& text)
{
    QString html;
    QString block;
    bool blockIsItem = false;
    bool inList = false;
    const auto flush = [&] {
        if (!block.isEmpty())
            html +=
                (blockIsItem ? QStringLiteral("<li>%1</li>") : QStringLiteral("<p>%1</p>")).arg(block.toHtmlEscaped());
        block.clear();
    };
    const auto closeList = [&] {
        if (inList)
            html += QStringLiteral("</ul>");
        inList = false;
    };
    for (const QString& line : text.split(u'\n')) {
        if (line.trimmed().isEmpty()) {
            flush();
            closeList();
        } else if (line.startsWith(QStringLiteral("- "))) {
            flush();
            if (!inList)
                html += QStringLiteral("<ul>");
            inList = true;
            blockIsItem = true;
            block = line.mid(2).trimmed();
        } else if (!block.isEmpty()) {
            block += u' ' + line.trimmed();
        } else {
            closeList();
            blockIsItem = false;
            block = line.trimmed();
        }
    }
    flush();
    closeList();
    return html;
}

QString problemsHtml(const HelpFile& file)
{
    if (file.problems().isEmpty())
        return {};
    QStringList escaped;
    for (const QString& problem : file.problems())
        escaped << problem.toHtmlEscaped();
    return QStringLiteral("<hr><p style=\"color: gray\"><small>Lines of %1 that were left out:<br>"
                          "%2</small></p>")
        .arg(file.path().toHtmlEscaped(), escaped.join(QStringLiteral("<br>")));
}
} // namespace

HelpViewer::HelpViewer()
    : lstTopics(new QListWidget)
    , lblTitle(new QLabel)
    , txtTopic(new QTextEdit)
{
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(WindowTitle);
    // Help is no reason to keep running once the program's own windows are closed.
    setAttribute(Qt::WA_QuitOnClose, false);

    lstTopics->setObjectName(QStringLiteral("lstTopics"));
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    txtTopic->setObjectName(QStringLiteral("txtTopic"));

    QFont titleFont = lblTitle->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.4);
    lblTitle->setFont(titleFont);
    lblTitle->setWordWrap(true);
    lblTitle->setTextFormat(Qt::PlainText);
    txtTopic->setFrameShape(QFrame::NoFrame);
    // A read-only text with a caret, not a browser: screen readers take a browser for an
    // unnamed label and hear nothing of its arrow keys, which only scroll it. Here the arrows
    // move a caret line by line, and the text is named by its topic's title.
    txtTopic->setReadOnly(true);
    txtTopic->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

    auto* page = new QWidget;
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->addWidget(lblTitle);
    pageLayout->addWidget(txtTopic, 1);

    auto* splitter = new QSplitter;
    splitter->addWidget(lstTopics);
    splitter->addWidget(page);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({250, 500});
    splitter->setChildrenCollapsible(false);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(splitter);
    resize(760, 520);

    connect(lstTopics, &QListWidget::currentItemChanged, this, &HelpViewer::lstTopicsCurrentItemChanged);
}

void HelpViewer::showTopic(const QString& helpFile, int contextNumber, QWidget* parent)
{
    Script& s = script();
    if (s.active) {
        s.requests << Request{helpFile, contextNumber};
        s.open = true;
        return;
    }
    QPointer<HelpViewer>& viewer = instance();
    if (!viewer) {
        viewer = new HelpViewer;
        if (parent)
            viewer->move(parent->window()->geometry().center() - viewer->rect().center());
    }
    if (parent) {
        // It stays the window's help: on Wayland the desktop opens it over that window.
        viewer->winId();
        viewer->windowHandle()->setTransientParent(parent->window()->windowHandle());
    }
    viewer->display(helpFile, contextNumber);
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
}

void HelpViewer::closeViewer()
{
    script().open = false;
    delete instance();
}

bool HelpViewer::isViewerOpen()
{
    if (script().active)
        return script().open;
    return instance() && instance()->isVisible();
}

void HelpViewer::startScripting()
{
    closeViewer();
    script() = Script{true, false, {}};
}

void HelpViewer::stopScripting() { script() = Script{}; }

QList<HelpViewer::Request> HelpViewer::requests() { return script().requests; }

HelpViewer* HelpViewer::current() { return instance(); }

void HelpViewer::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        close();
    else
        QWidget::keyPressEvent(event);
}

// The file is read again for every request, so an edit to it shows without a restart.
void HelpViewer::display(const QString& helpFile, int contextNumber)
{
    m_file = HelpFile::read(helpFile);
    fillTopicList(contextNumber);
    showLookup(m_file.lookUp(contextNumber));
    // The reader starts in the text; a list taking the focus would choose its first topic
    // when the one asked for is missing.
    txtTopic->setFocus();
}

void HelpViewer::fillTopicList(int contextNumber)
{
    const QSignalBlocker quiet(lstTopics);
    lstTopics->clear();
    for (const HelpFile::Topic& topic : m_file.topics()) {
        auto* item = new QListWidgetItem(topic.title, lstTopics);
        item->setData(Qt::UserRole, topic.contextNumber);
        if (topic.contextNumber == contextNumber)
            lstTopics->setCurrentItem(item);
    }
}

void HelpViewer::showLookup(const HelpFile::Lookup& lookup)
{
    if (lookup.topic) {
        lblTitle->setText(lookup.topic->title);
        txtTopic->setHtml(toHtml(lookup.topic->text) + problemsHtml(m_file));
    } else {
        lblTitle->setText(WindowTitle);
        txtTopic->setHtml(QStringLiteral("<p>%1</p>").arg(lookup.failure.toHtmlEscaped()) + problemsHtml(m_file));
    }
    txtTopic->setAccessibleName(lblTitle->text());
}

void HelpViewer::lstTopicsCurrentItemChanged(QListWidgetItem* item)
{
    if (item)
        showLookup(m_file.lookUp(item->data(Qt::UserRole).toInt()));
}
