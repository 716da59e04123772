#pragma once

#include <QStringList>

#include <deque>
#include <stdexcept>
#include <vector>

#include "UShell_C.h"

// Answers the choosers from queued scripts and records each message box as "caption: text"
// instead of showing it. A chooser with no answer queued throws, so a test fails, never blocks.
struct ScriptedShell : NS_Wnd::UShell_C {
    std::deque<QStringList> files;
    std::deque<QString> savePaths, directories;
    std::vector<QString> messages;
    QString lastFilter, lastStart, lastTitle, lastSuffix;
    bool lastSeveral = false;

    QStringList ChooseFiles(QWidget*, const QString& filter, const QString& start,
                            bool several) override {
        lastFilter = filter, lastStart = start, lastSeveral = several;
        return Take(files);
    }
    QString ChooseSavePath(QWidget*, const QString& filter, const QString& start,
                           const QString& suffix) override {
        lastFilter = filter, lastStart = start, lastSuffix = suffix;
        return Take(savePaths);
    }
    QString ChooseDirectory(QWidget*, const QString& title, const QString& start) override {
        lastTitle = title, lastStart = start;
        return Take(directories);
    }
    void ShowMessage(QWidget*, const QString& caption, const QString& text) override {
        messages.push_back(caption + ": " + text);
    }

    template <class T>
    static T Take(std::deque<T>& answers) {
        if (answers.empty()) {
            throw std::logic_error("a chooser opened that the test did not expect");
        }
        T answer = answers.front();
        answers.pop_front();
        return answer;
    }
};
