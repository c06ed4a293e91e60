// The small widgets and helpers the birth-data form is built of: named
// boxes and lists, captions and hints, option pairs and the note lines under
// a row. Each takes the object name the form's tests and documents use.
#pragma once

#include <QLabel>
#include <QString>

class QButtonGroup;
class QComboBox;
class QEvent;
class QFrame;
class QLineEdit;
class QObject;
class QRadioButton;
class QWidget;

namespace qv {

// A text box named `name`.
QLineEdit* MakeBox(const char* name, QWidget* parent);

// A degree or minute box named `name`: three digits, right-aligned, as wide
// as four, with `tip` as its tool tip.
QLineEdit* MakeCoordinateBox(const char* name, const QString& tip, QWidget* parent);

// A drop-down list named `name` that opens below its box and shows at most
// twenty items at once.
QComboBox* MakeList(const char* name, QWidget* parent);

// A grey hint beside a box ("DEG/MIN").
QLabel* Hint(const QString& text, QWidget* parent);

// A row's caption for `buddy`, as wide as the widest caption of the form.
QLabel* Caption(const QString& text, QWidget* buddy, QWidget* parent);

// A pair of option buttons in a small frame, named "<name>_0" and
// "<name>_1", in `buttons` and the exclusive `group`; none selected at first.
QFrame* OptionPair(QRadioButton* (&buttons)[2], QButtonGroup*& group, const char* name, const QString& first,
                   const QString& second, QWidget* parent);

// The name a screen reader gives `w`, by its label and part ("Birth month"),
// not by its value; and what it adds when asked (nullptr: nothing). A
// widget whose own text names it keeps that text (nullptr as name).
void Describe(QWidget* w, const char* name, const char* description = nullptr);

// Selects element `index` of an option pair, or none for -1.
void SelectOption(QButtonGroup* group, int index);

// Selects item `index` of `list` when it has one; else leaves it as it is.
void SetIndexIfValid(QComboBox* list, int index);

// A line of notes under a row of the form, shown only while it has a text.
// It wraps, and always has the height its text takes at the width of the
// box above it (`column`, which spans the same columns), so no line of it is
// cut; the window grows when it needs the room.
class NoteLine : public QLabel {
public:
    NoteLine(const char* name, QWidget* column, QWidget* parent);
    void setNote(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fit();
    QWidget* column_;
};

}  // namespace qv
