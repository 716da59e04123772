#pragma once

#include <QStringList>

#include <deque>
#include <stdexcept>
#include <vector>

#include "ui/UShell_C.h"

// Answers each chooser with the next queued list (empty: cancelled; a save or folder chooser
// takes its first entry) and records each message box as "caption: text" instead of showing it.
// A chooser with no answer queued throws, so a test fails, never blocks.
struct ScriptedShell : NS_Wnd::UShell_C {
    std::deque<QStringList> answers;
    std::vector<QString> messages;
    QString asked;  // the last chooser's arguments after the owner, joined by '|'

    QStringList ChooseFiles(QWidget*, const QString& filter, const QString& start,
                            bool several) override {
        return Answer({filter, start, several ? "several" : "one"});
    }
    QString ChooseSavePath(QWidget*, const QString& filter, const QString& start,
                           const QString& suffix) override {
        return Answer({filter, start, suffix}).value(0);
    }
    QString ChooseDirectory(QWidget*, const QString& title, const QString& start) override {
        return Answer({title, start}).value(0);
    }
    void ShowMessage(QWidget*, const QString& caption, const QString& text) override {
        messages.push_back(caption + ": " + text);
    }

    QStringList Answer(const QStringList& arguments) {
        asked = arguments.join(u'|');
        if (answers.empty()) {
            throw std::logic_error("a chooser opened that the test did not expect");
        }
        QStringList answer = answers.front();
        answers.pop_front();
        return answer;
    }
};
