// A UserDialogs that answers from a script and records every call, for
// widget tests. Queue answers before the action; read `calls` afterwards.
#pragma once

#include <QPrinter>
#include <QString>
#include <array>
#include <deque>
#include <optional>
#include <vector>

#include "gui/common/user_dialogs.h"

namespace qv::test {

struct DialogCall {
    enum Kind { Message, Save, Open, Print, Question, Number } kind;
    QString text;  // message or question text, or the dialog title
    MessageIcon icon = MessageIcon::Error;
    FileDialogSettings settings;  // for Save / Open
};

class ScriptedDialogs final : public UserDialogs {
public:
    std::vector<DialogCall> calls;
    std::deque<std::optional<QString>> fileAnswers;  // nullopt = Cancel
    std::deque<bool> printAnswers;                   // true = accept
    std::deque<bool> questionAnswers;                // true = Yes; No when none is left
    std::deque<std::optional<int>> numberAnswers;    // nullopt = Cancel; the value offered when none is left
    QString printerOutputFile;                       // when set, printing goes to this PDF
    // Questions of several answers, kept apart from `calls`, and the answers
    // to give (an index; -1, as a dialog that cannot ask, when none is left).
    std::vector<QString> choices;
    std::deque<int> choiceAnswers;

    void message(QWidget*, const QString& text, MessageIcon icon) override {
        calls.push_back({DialogCall::Message, text, icon, {}});
    }
    bool question(QWidget*, const QString& text) override {
        calls.push_back({DialogCall::Question, text, MessageIcon::Error, {}});
        if (questionAnswers.empty()) return false;
        const bool yes = questionAnswers.front();
        questionAnswers.pop_front();
        return yes;
    }
    std::optional<int> number(QWidget*, const QString& title, const QString& label, int value, int smallest,
                              int largest) override {
        calls.push_back({DialogCall::Number, title + u'\n' + label, MessageIcon::Error, {}});
        offered = {value, smallest, largest};
        if (numberAnswers.empty()) return value;
        const std::optional<int> answer = numberAnswers.front();
        numberAnswers.pop_front();
        return answer;
    }
    // The last number dialog's value offered, smallest and largest.
    std::array<int, 3> offered{};
    int choice(QWidget*, const QString& text, const QStringList&, int, int) override {
        choices.push_back(text);
        if (choiceAnswers.empty()) return -1;
        const int answer = choiceAnswers.front();
        choiceAnswers.pop_front();
        return answer;
    }
    std::optional<QString> saveFileName(QWidget*, const FileDialogSettings& s) override {
        calls.push_back({DialogCall::Save, s.title, MessageIcon::Error, s});
        return next();
    }
    std::optional<QString> openFileName(QWidget*, const FileDialogSettings& s) override {
        calls.push_back({DialogCall::Open, s.title, MessageIcon::Error, s});
        return next();
    }
    bool printDialog(QWidget*, QPrinter& printer) override {
        calls.push_back({DialogCall::Print, {}, MessageIcon::Error, {}});
        if (!printerOutputFile.isEmpty()) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(printerOutputFile);
        }
        if (printAnswers.empty()) return false;
        bool a = printAnswers.front();
        printAnswers.pop_front();
        return a;
    }

    // Messages shown so far, in order.
    std::vector<QString> messages() const {
        std::vector<QString> out;
        for (const auto& c : calls)
            if (c.kind == DialogCall::Message) out.push_back(c.text);
        return out;
    }
    void clear() { calls.clear(); }

private:
    std::optional<QString> next() {
        if (fileAnswers.empty()) return std::nullopt;
        auto a = fileAnswers.front();
        fileAnswers.pop_front();
        return a;
    }
};

}  // namespace qv::test
