#include "gui/form/form_widgets.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QButtonGroup>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPointer>
#include <QProxyStyle>
#include <QRadioButton>
#include <algorithm>

namespace qv {

namespace {

// The most items a list shows at once; longer lists scroll.
constexpr int kVisibleListItems = 20;

// The desktop's style, except that a list opens below its box. Styles that
// open the list as a popup over the box (Fusion among them) ignore the
// visible count and open it the height of the screen.
class ListBelowStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returned) const override {
        if (hint == SH_ComboBox_Popup) return 0;
        return QProxyStyle::styleHint(hint, option, widget, returned);
    }
};

// A list that opens below its box. It takes ListBelowStyle when it first
// opens: a style of its own (or a style sheet) from the start would cost
// every list a polish at the form's start, about a millisecond for all six,
// and the application's style would slow every other widget.
class ListBelowBox : public QComboBox {
public:
    using QComboBox::QComboBox;
    void showPopup() override {
        if (!dynamic_cast<ListBelowStyle*>(style())) {
            setStyle(SharedStyle());
            // A view made under the popup style had its scroll bar turned off.
            view()->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        }
        QComboBox::showPopup();
    }

private:
    // One style for every list, kept as long as the application.
    static QStyle* SharedStyle() {
        static QPointer<QStyle> style;
        if (!style) {
            style = new ListBelowStyle;
            style->setParent(QCoreApplication::instance());
        }
        return style;
    }
};

}  // namespace

QLineEdit* MakeBox(const char* name, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QLineEdit* MakeCoordinateBox(const char* name, const QString& tip, QWidget* parent) {
    QLineEdit* box = MakeBox(name, parent);
    box->setMaxLength(3);
    box->setAlignment(Qt::AlignRight);
    box->setToolTip(tip);
    const int w = box->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 16;
    box->setFixedWidth(w);
    return box;
}

QComboBox* MakeList(const char* name, QWidget* parent) {
    auto* list = new ListBelowBox(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setMaxVisibleItems(kVisibleListItems);
    return list;
}

QLabel* Hint(const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setStyleSheet(QStringLiteral("color: #6a6a6a;"));
    return l;
}

QLabel* Caption(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setBuddy(buddy);
    // One caption width for both groups, so their boxes line up.
    l->setMinimumWidth(l->fontMetrics().horizontalAdvance(QStringLiteral("Time Of Birth:")) + 12);
    return l;
}

QFrame* OptionPair(QRadioButton* (&buttons)[2], QButtonGroup*& group, const char* name, const QString& first,
                   const QString& second, QWidget* parent) {
    auto* frame = new QFrame(parent);
    frame->setFrameShape(QFrame::StyledPanel);
    auto* row = new QHBoxLayout(frame);
    row->setContentsMargins(8, 2, 8, 2);
    group = new QButtonGroup(frame);
    const QString captions[2] = {first, second};
    for (int i = 0; i < 2; ++i) {
        buttons[i] = new QRadioButton(captions[i], frame);
        buttons[i]->setObjectName(QStringLiteral("%1_%2").arg(QString::fromLatin1(name)).arg(i));
        group->addButton(buttons[i], i);
        row->addWidget(buttons[i]);
    }
    return frame;
}

void Describe(QWidget* w, const char* name, const char* description) {
    if (name) w->setAccessibleName(QString::fromLatin1(name));
    if (description) w->setAccessibleDescription(QString::fromLatin1(description));
}

void SelectOption(QButtonGroup* group, int index) {
    if (index == 0 || index == 1) {
        group->button(index)->setChecked(true);
        return;
    }
    group->setExclusive(false);
    for (QAbstractButton* b : group->buttons()) b->setChecked(false);
    group->setExclusive(true);
}

void SetIndexIfValid(QComboBox* list, int index) {
    if (index >= 0 && index < list->count()) list->setCurrentIndex(index);
}

NoteLine::NoteLine(const char* name, QWidget* column, QWidget* parent) : QLabel(parent), column_(column) {
    setObjectName(QString::fromLatin1(name));
    setWordWrap(true);
    setStyleSheet(QStringLiteral("color: #1f4e79;"));
    hide();
    column_->installEventFilter(this);
}

void NoteLine::setNote(const QString& text) {
    if (text == this->text()) return;
    setText(text);
    fit();
    setVisible(!text.isEmpty());
}

bool NoteLine::eventFilter(QObject* watched, QEvent* event) {
    if (watched == column_ && event->type() == QEvent::Resize) fit();
    return QLabel::eventFilter(watched, event);
}

void NoteLine::fit() {
    const int needed = text().isEmpty() ? 0 : heightForWidth(std::max(1, column_->width()));
    if (needed != minimumHeight()) setMinimumHeight(needed);
}

}  // namespace qv
