// A chart computed by the core and shown in a chart window, for the widget
// tests of the chart window and the display form.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QTest>
#include <memory>

#include "chart/birth_form.h"
#include "chart/chart_run.h"
#include "chart/chart_wheel.h"
#include "gui/chart/chart_window.h"
#include "gui/chart/frm_display.h"
#include "gui/chart/natal_wheel.h"
#include "gui/chart/sign_glyphs.h"
#include "state/chart_state.h"
#include "tests/support/births.h"
#include "tests/support/scripted_dialogs.h"

namespace qv::test {

// A person born in London; 1915, a time zone with no correction.
inline BirthFormData London() { return FormOf(AdaInLondon()); }
// A person born in Basel, summer time.
inline BirthFormData Basel() { return FormOf(CarlInBasel()); }

// Runs the whole calculation as the program does: the form's checks, then
// the chart.
inline void Calculate(const BirthFormData& form, ChartState& state, ChartWheel& wheel) {
    LoadFixedLists(state);
    EXPECT_EQ(CalculateChartOfForm(form, state, wheel), std::nullopt);
}

class ChartTest : public ::testing::Test {
protected:
    ChartState state;
    ChartWheel wheel;
    ScriptedDialogs dialogs;
    std::unique_ptr<ChartWindow> window;

    // Calculates `form` and shows its chart in a new chart window.
    void Show(const BirthFormData& form) {
        Calculate(form, state, wheel);
        window = std::make_unique<ChartWindow>(state, dialogs);
        window->showChart(wheel);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    void TearDown() override {
        window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QGuiApplication::clipboard()->clear();
    }

    FrmDisplay* display() const { return window->display(); }
    template <class T>
    T* child(const QString& name) const {
        T* w = window->findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    QAction* entry(const char* name) const { return child<QAction>(QString::fromLatin1(name)); }
};

}  // namespace qv::test
