// Answers the real modal dialogs in widget tests.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <functional>

namespace qv::test {

// Answers the modal dialog of type Dialog while it is open: `answer` runs on
// every tick until the dialog closes (a file dialog may ignore an early
// accept while it still reads the folder). After five seconds the dialog is
// rejected so a test never hangs.
template <class Dialog>
class Answerer {
public:
    explicit Answerer(std::function<void(Dialog*)> answer) {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this, answer] {
            auto* d = qobject_cast<Dialog*>(QApplication::activeModalWidget());
            if (!d) return;
            if (++ticks_ > 250) {
                timedOut = true;
                static_cast<QDialog*>(d)->reject();
                return;
            }
            answer(d);
        });
        timer_.start();
    }
    bool timedOut = false;

private:
    QTimer timer_;
    int ticks_ = 0;
};

}  // namespace qv::test
