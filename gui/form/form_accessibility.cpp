#include "gui/form/form_accessibility.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QGroupBox>

#include "gui/form/frm_main.h"

namespace qv {
namespace {

// A list of the form: its accessible name, its current item as its value,
// the items that open as its one child, and the actions to open and close
// them. A list without an accessible name is named by its item, as Qt does.
class NamedListAccessible final : public QAccessibleWidget {
public:
    explicit NamedListAccessible(QComboBox* list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return list()->currentText();
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) return list()->currentText();
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = list()->view()->isVisible();
        return s;
    }
    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override {
        return index == 0 ? QAccessible::queryAccessibleInterface(list()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child && child->object() == list()->view() ? 0 : -1;
    }

    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
    void doAction(const QString& action) override {
        if (action != showMenuAction() && action != pressAction()) return;
        if (list()->view()->isVisible())
            list()->hidePopup();
        else
            list()->showPopup();
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QComboBox* list() const { return static_cast<QComboBox*>(widget()); }
};

// A group of the form ("Birth", "Place"), named by its title, whose parts
// are the ones shown: a note line without a note is not read at all.
class ShownPartsGroupAccessible final : public QAccessibleWidget {
public:
    explicit ShownPartsGroupAccessible(QGroupBox* group) : QAccessibleWidget(group, QAccessible::Grouping) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return static_cast<QGroupBox*>(widget())->title().remove(QLatin1Char('&'));
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return int(parts().size()); }
    QAccessibleInterface* child(int index) const override {
        const QList<QWidget*> p = parts();
        return index >= 0 && index < p.size() ? QAccessible::queryAccessibleInterface(p[index]) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child && child->object() && child->object()->isWidgetType()
                   ? int(parts().indexOf(static_cast<QWidget*>(child->object())))
                   : -1;
    }

private:
    QList<QWidget*> parts() const {
        QList<QWidget*> out;
        for (QWidget* w : widget()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            if (!w->isHidden() && !w->isWindow()) out << w;
        return out;
    }
};

QAccessibleInterface* FormFactory(const QString& key, QObject* object) {
    if (!object || !object->isWidgetType()) return nullptr;
    if (key == QLatin1String("QGroupBox")) {
        auto* group = static_cast<QGroupBox*>(object);
        return qobject_cast<FrmMain*>(group->window()) && !group->isCheckable() ? new ShownPartsGroupAccessible(group)
                                                                                : nullptr;
    }
    if (key != QLatin1String("QComboBox")) return nullptr;
    auto* list = static_cast<QComboBox*>(object);
    if (!qobject_cast<FrmMain*>(list->window())) return nullptr;
    return new NamedListAccessible(list);
}

}  // namespace

void InstallFormAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(&FormFactory);
        return true;
    }();
    (void)installed;
}

}  // namespace qv
