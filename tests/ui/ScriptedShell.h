#pragma once

#include <QStringList>

#include <deque>
#include <stdexcept>
#include <vector>

#include "UShell_C.h"

// Answers the choosers from queued scripts and records every message box instead of showing
// it. A chooser opened with no answer queued fails the test rather than blocking it.
class ScriptedShell : public NS_Wnd::UShell_C {
public:
    struct Message_S {
        QString caption;
        QString text;
    };

    std::deque<QStringList> files;
    std::deque<QString> savePaths;
    std::deque<QString> directories;
    std::vector<Message_S> messages;
    // What the last chooser was opened with.
    QString lastFilter;
    QString lastDirectory;
    QString lastTitle;
    QString lastSuffix;
    bool lastSeveral = false;

    QStringList ChooseFiles(QWidget*, const QString& filter, const QString& directory,
                            bool several) override {
        lastFilter = filter;
        lastDirectory = directory;
        lastSeveral = several;
        return Take(files);
    }
    QString ChooseSavePath(QWidget*, const QString& filter, const QString& directory,
                           const QString& suffix) override {
        lastFilter = filter;
        lastDirectory = directory;
        lastSuffix = suffix;
        return Take(savePaths);
    }
    QString ChooseDirectory(QWidget*, const QString& title, const QString& start) override {
        lastTitle = title;
        lastDirectory = start;
        return Take(directories);
    }
    void ShowMessage(QWidget*, const QString& caption, const QString& text) override {
        messages.push_back({caption, text});
    }

private:
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
