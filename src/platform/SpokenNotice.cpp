#include "SpokenNotice.h"

#include <QAccessible>
#include <QAccessibleObject>
#include <QWidget>

namespace {
class SpokenNoticeAccessible : public QAccessibleObject {
public:
    explicit SpokenNoticeAccessible(SpokenNotice* notice)
        : QAccessibleObject(notice)
    {
    }

    QAccessible::Role role() const override { return QAccessible::Notification; }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? static_cast<SpokenNotice*>(object())->text() : QString();
    }
    QAccessible::State state() const override { return {}; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(object()->parent()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
};

QAccessibleInterface* accessibleFor(const QString& className, QObject* object)
{
    if (className == QLatin1String("SpokenNotice") && object)
        return new SpokenNoticeAccessible(static_cast<SpokenNotice*>(object));
    return nullptr;
}
} // namespace

SpokenNotice::SpokenNotice(QWidget* window)
    : QObject(window)
{
    setObjectName(QStringLiteral("spokenNotice"));
}

void SpokenNotice::say(QWidget* from, const QString& text)
{
    static const bool described = [] {
        QAccessible::installFactory(accessibleFor);
        return true;
    }();
    Q_UNUSED(described);
    QWidget* window = from->window();
    auto* notice = window->findChild<SpokenNotice*>(QString(), Qt::FindDirectChildrenOnly);
    if (!notice)
        notice = new SpokenNotice(window);
    notice->m_text = text;
    QAccessibleEvent shown(notice, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}
