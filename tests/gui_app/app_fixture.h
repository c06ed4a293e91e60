// A running program for widget tests: the controller with scripted dialogs,
// the birth-data form shown, and helpers to type and click as a user does.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <functional>
#include <memory>

#include "gui/chart/chart_window.h"
#include "gui/form/frm_main.h"
#include "gui/startup/app_controller.h"
#include "tests/support/scripted_dialogs.h"

namespace qv::test {

// Scripted dialogs with a hook that runs when a message is shown, to act as
// a message box that takes the focus away would.
class HookedDialogs final : public UserDialogs {
public:
    ScriptedDialogs script;
    std::function<void()> onMessage;

    void message(QWidget* parent, const QString& text, MessageIcon icon) override {
        script.message(parent, text, icon);
        if (onMessage) onMessage();
    }
    bool question(QWidget* p, const QString& text) override { return script.question(p, text); }
    int choice(QWidget* p, const QString& text, const QStringList& answers, int defaultAnswer,
               int escapeAnswer) override {
        return script.choice(p, text, answers, defaultAnswer, escapeAnswer);
    }
    std::optional<QString> saveFileName(QWidget* p, const FileDialogSettings& s) override {
        return script.saveFileName(p, s);
    }
    std::optional<QString> openFileName(QWidget* p, const FileDialogSettings& s) override {
        return script.openFileName(p, s);
    }
    bool printDialog(QWidget* p, QPrinter& printer) override { return script.printDialog(p, printer); }

    std::vector<QString> messages() const { return script.messages(); }
    QString lastMessage() const {
        auto all = messages();
        return all.empty() ? QString() : all.back();
    }
    MessageIcon lastIcon() const {
        for (auto it = script.calls.rbegin(); it != script.calls.rend(); ++it)
            if (it->kind == DialogCall::Message) return it->icon;
        return MessageIcon::Error;
    }
    void clear() { script.clear(); }
};

// One person's birth data as a user types and picks it.
struct Person {
    QString name;
    int month;  // list index, 0 = January
    int day;    // 1..31
    int year;
    int hour, minute;
    int zone;  // time-zone table slot
    bool dst;
    QString latD, latM;
    bool south;
    QString lonD, lonM;
    bool east;
    QString city, state, country;
};

inline const Person kAda{QStringLiteral("Ada Byron"),
                         11,
                         10,
                         1915,
                         1,
                         30,
                         29,
                         false,
                         QStringLiteral("51"),
                         QStringLiteral("30"),
                         false,
                         QStringLiteral("0"),
                         QStringLiteral("7"),
                         false,
                         QStringLiteral("London"),
                         QStringLiteral("England"),
                         QStringLiteral("UK")};
inline const Person kCarl{QStringLiteral("Carl Gustav"),
                          6,
                          26,
                          1975,
                          19,
                          32,
                          20,
                          true,
                          QStringLiteral("47"),
                          QStringLiteral("33"),
                          false,
                          QStringLiteral("7"),
                          QStringLiteral("35"),
                          true,
                          QStringLiteral("Basel"),
                          QStringLiteral("Basel Stadt"),
                          QStringLiteral("Switzerland")};

class AppTest : public ::testing::Test {
public:  // the tables of steps call the helpers
    HookedDialogs dialogs;
    std::unique_ptr<AppController> app;
    FrmMain* form = nullptr;

    void SetUp() override {
        app = std::make_unique<AppController>(dialogs);
        app->start();
        form = app->form();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    }
    void TearDown() override {
        app.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    template <class T>
    T* child(const char* name) const {
        T* w = form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QLineEdit* box(const char* name) const { return child<QLineEdit>(name); }
    QComboBox* list(const char* name) const { return child<QComboBox>(name); }
    QRadioButton* option(const char* name) const { return child<QRadioButton>(name); }
    QWidget* focused() const { return QApplication::focusWidget(); }
    QString focusedName() const { return focused() ? focused()->objectName() : QString(); }

    // Types `text` key by key into a box, as the keyboard does.
    void type(const char* name, const QString& text) {
        QLineEdit* b = box(name);
        b->setFocus();
        for (QChar c : text) key(b, Qt::Key_unknown, QString(c));
    }
    // One key press and release with the text the platform gives it (QTest's
    // own texts for control keys differ from the keyboard's), shortcut
    // override first, as the keyboard delivers it.
    static void key(QWidget* w, Qt::Key k, const QString& text, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::sendKeyEvent(QTest::Press, w, k, text, mods);
        QTest::sendKeyEvent(QTest::Release, w, k, text, mods);
    }
    // Clicks an option button on its round indicator.
    void pick(const char* name) {
        QRadioButton* o = option(name);
        QTest::mouseClick(o, Qt::LeftButton, {}, QPoint(7, o->height() / 2));
    }
    void click(const char* name) { QTest::mouseClick(child<QPushButton>(name), Qt::LeftButton); }
    void choose(const char* name, int index) {
        QComboBox* l = list(name);
        ASSERT_GE(index, 0);
        ASSERT_LT(index, l->count());
        l->setCurrentIndex(index);
    }

    // Fills every field of the form through its widgets.
    void enter(const Person& p) {
        for (const char* b :
             {"txtName", "txtLatD", "txtLatM", "txtLonD", "txtLonM", "txtCity", "txtState", "txtCountry"})
            box(b)->clear();
        type("txtName", p.name);
        choose("cboMonth", p.month);
        choose("cboDate", p.day - 1);
        choose("cboYear", YearItem(p.year));
        choose("cboHour", p.hour);
        choose("cboMinute", p.minute);
        choose("cboTimeZone", p.zone);
        child<QCheckBox>("chkDST")->setChecked(p.dst);
        type("txtLatD", p.latD);
        type("txtLatM", p.latM);
        pick(p.south ? "optLatSouth_1" : "optLatSouth_0");
        type("txtLonD", p.lonD);
        type("txtLonM", p.lonM);
        pick(p.east ? "optLongEast_0" : "optLongEast_1");
        type("txtCity", p.city);
        type("txtState", p.state);
        type("txtCountry", p.country);
    }

    ChartWindow* chart() const { return app->chartWindow(); }
    // Lets deferred deletes and queued signals run.
    static void settle() {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
};

}  // namespace qv::test
