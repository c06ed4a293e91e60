#include "gui/chart/chart_accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QGroupBox>
#include <QLabel>
#include <vector>

#include "gui/chart/frm_display.h"
#include "gui/chart/natal_wheel.h"

namespace qv {
namespace {

// Interfaces are made when Qt first needs one, which can be while the widget
// is still being built (a label's text set in its constructor). So the
// interfaces below are chosen by where the widget sits, and what each one
// is (the table, a row of it) is decided when it is asked.

const FrmDisplay* FormOf(const QWidget* w) { return w ? qobject_cast<const FrmDisplay*>(w->parentWidget()) : nullptr; }

// The display form: personal data, positions, wheel, interpretation; its
// hidden controls are left out.
class DisplayFormAccessible final : public QAccessibleWidget {
public:
    explicit DisplayFormAccessible(QWidget* form) : QAccessibleWidget(form, QAccessible::Pane) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) return QStringLiteral("Chart");
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return int(parts().size()); }
    QAccessibleInterface* child(int index) const override {
        const std::vector<QWidget*> p = parts();
        return index >= 0 && index < int(p.size()) ? QAccessible::queryAccessibleInterface(p[std::size_t(index)])
                                                   : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const std::vector<QWidget*> p = parts();
        for (std::size_t i = 0; i < p.size(); ++i)
            if (child && child->object() == p[i]) return int(i);
        return -1;
    }

private:
    std::vector<QWidget*> parts() const {
        std::vector<QWidget*> out;
        const auto* form = qobject_cast<const FrmDisplay*>(widget());
        if (!form) return out;
        for (QWidget* w : {static_cast<QWidget*>(form->Frame1()), static_cast<QWidget*>(form->fraWestern()),
                           static_cast<QWidget*>(form->picNatal()), static_cast<QWidget*>(form->RTB())})
            if (w && !w->isHidden()) out.push_back(w);
        return out;
    }
};

// A frame of the display form, named by its title. The position table
// ("Planetary Positions") is a list of its eleven rows.
class FormFrameAccessible final : public QAccessibleWidget {
public:
    explicit FormFrameAccessible(QGroupBox* frame) : QAccessibleWidget(frame, QAccessible::Grouping) {}
    QAccessible::Role role() const override { return isTable() ? QAccessible::List : QAccessible::Grouping; }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return static_cast<QGroupBox*>(widget())->title();
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return isTable() ? FrmDisplay::kPositionCount : QAccessibleWidget::childCount(); }
    QAccessibleInterface* child(int index) const override {
        if (!isTable()) return QAccessibleWidget::child(index);
        return QAccessible::queryAccessibleInterface(FormOf(widget())->positionRow(index));
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (!isTable()) return QAccessibleWidget::indexOfChild(child);
        return child && child->object() && child->object()->isWidgetType()
                   ? FormOf(widget())->positionSlotOf(static_cast<QWidget*>(child->object()))
                   : -1;
    }

private:
    bool isTable() const {
        const FrmDisplay* form = FormOf(widget());
        return form && form->fraWestern() == widget();
    }
};

// A label in a frame of the display form: its text once, or the name the
// form gave it (a row of the position table: the row in words), and a
// description only of its own, not its tooltip (which shows a cut line
// whole and would repeat the text).
class FormLabelAccessible final : public QAccessibleWidget {
public:
    explicit FormLabelAccessible(QLabel* label) : QAccessibleWidget(label, QAccessible::StaticText) {}
    QAccessible::Role role() const override { return isRow() ? QAccessible::ListItem : QAccessible::StaticText; }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) {
            const QString name = widget()->accessibleName();
            return name.isEmpty() ? static_cast<QLabel*>(widget())->text() : name;
        }
        if (t == QAccessible::Description) return widget()->accessibleDescription();
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }

private:
    bool isRow() const {
        const FrmDisplay* form = FormOf(widget()->parentWidget());
        return form && form->positionSlotOf(widget()) >= 0;
    }
};

// The wheel: one chart, described in words by the form; its boxes, glyphs
// and numbers are not read one by one.
class WheelAccessible final : public QAccessibleWidget {
public:
    explicit WheelAccessible(QWidget* wheel) : QAccessibleWidget(wheel, QAccessible::Chart) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) return QStringLiteral("Chart wheel");
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
};

QAccessibleInterface* ChartFactory(const QString& key, QObject* object) {
    if (!object || !object->isWidgetType()) return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (key == QLatin1String("qv::FrmDisplay")) return new DisplayFormAccessible(widget);
    if (FormOf(widget)) {
        // Whatever class Qt knows it as yet.
        if (widget->objectName() == QLatin1String("picNatal")) return new WheelAccessible(widget);
        if (key == QLatin1String("QGroupBox")) return new FormFrameAccessible(static_cast<QGroupBox*>(widget));
    }
    if ((key == QLatin1String("QLabel") || key == QLatin1String("qv::ElidedLabel")) &&
        qobject_cast<QGroupBox*>(widget->parentWidget()) && FormOf(widget->parentWidget()))
        return new FormLabelAccessible(static_cast<QLabel*>(widget));
    return nullptr;
}

}  // namespace

void InstallChartAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(&ChartFactory);
        return true;
    }();
    (void)installed;
}

}  // namespace qv
