#include "MenuClicks.h"

#include "UserMoves.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

namespace {
QAction* actionCalled(const QList<QAction*>& actions, const QString& text)
{
    for (QAction* a : actions) {
        if (a->text().replace(QStringLiteral("&&"), QStringLiteral("&")) == text)
            return a;
    }
    return nullptr;
}
} // namespace

void chooseFromMenu(QMainWindow& window, const QString& title, const QString& item)
{
    QMenuBar* bar = window.menuBar();
    QAction* titleAction = actionCalled(bar->actions(), title);
    QVERIFY2(titleAction, qPrintable(QStringLiteral("no menu title ") + title));
    UserMoves::click(bar, bar->actionGeometry(titleAction).center());
    if (item.isEmpty())
        return;
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY2(menu, qPrintable(QStringLiteral("the menu ") + title + QStringLiteral(" did not open")));
    QAction* itemAction = actionCalled(menu->actions(), item);
    QVERIFY2(itemAction, qPrintable(QStringLiteral("no item ") + item));
    UserMoves::click(menu, menu->actionGeometry(itemAction).center());
}
