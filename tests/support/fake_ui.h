#pragma once
// A scripted UI port for tests: records every alert, answers with queued button
// indexes (0, the default button, when the queue is empty), runs scheduled
// steps at once or on demand keeping their order, and records launches,
// clipboard texts, file dialogs and quitting. Steps of the periodic timers
// (30 seconds and more) only run when a test asks with runTimers(): they
// schedule themselves again.

#include "core/uiport.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace quandor::test {

class FakeUi : public UiPort {
  public:
    struct Alert {
        AlertStyle style;
        QString title;
        QString message;
        QStringList buttons;
        int answer;
    };
    struct Scheduled {
        int delayMs;
        std::function<void()> step;
    };
    struct Launch {
        QString program;
        QStringList arguments;
    };

    // ---- scripting ----------------------------------------------------------
    std::deque<int> answers;                     // button indexes for the next alerts
    std::deque<std::optional<QString>> dialogs;  // answers of save/open/folder dialogs
    bool runScheduledAtOnce = false;             // else they wait for runScheduled()
    bool launchSucceeds = true;

    // ---- what happened ------------------------------------------------------
    std::vector<Alert> alerts;
    std::vector<Scheduled> pending;  // scheduled, not yet run
    std::vector<Scheduled> timers;   // periodic steps (30 s and more), waiting for runTimers()
    static constexpr int kTimerMs = 30000;
    std::vector<int> scheduledDelays;
    std::vector<Launch> launches;
    std::vector<QString> clipboard;
    std::vector<QString> opened;  // openUrl / openFile / revealFile
    std::vector<QString> dialogTitles;
    std::vector<QString> dialogProposals;  // "fileType proposedName" of save dialogs
    int beeps = 0;
    int quits = 0;

    int alert(AlertStyle style, const QString& title, const QString& message,
              const QStringList& buttons) override {
        int answer = 0;
        if (!answers.empty()) {
            answer = answers.front();
            answers.pop_front();
        }
        alerts.push_back({style, title, message, buttons, answer});
        return answer;
    }
    void beep() override { ++beeps; }

    std::optional<QString> saveDialog(const QString& title, const QString& type,
                                      const QString& proposed) override {
        dialogProposals.push_back(type + u' ' + proposed);
        return nextDialog(title);
    }
    std::optional<QString> openDialog(const QString& title, const QStringList&) override {
        return nextDialog(title);
    }
    std::optional<QString> chooseFolder(const QString& title) override { return nextDialog(title); }

    bool openUrl(const QString& url) override { return record(url); }
    bool openFile(const QString& path) override { return record(path); }
    bool revealFile(const QString& path) override { return record(path); }
    bool launchApplication(const QString& program, const QStringList& arguments) override {
        launches.push_back({program, arguments});
        return launchSucceeds;
    }
    void setClipboardText(const QString& text) override { clipboard.push_back(text); }

    void schedule(int delayMs, std::function<void()> step) override {
        scheduledDelays.push_back(delayMs);
        if (delayMs >= kTimerMs) {
            timers.push_back({delayMs, std::move(step)});
            return;
        }
        if (runScheduledAtOnce && !running_) {
            running_ = true;
            step();
            runPending();
            running_ = false;
        } else {
            pending.push_back({delayMs, std::move(step)});
        }
    }
    // Runs the waiting steps in the order they were scheduled (also those they schedule).
    void runScheduled() {
        running_ = true;
        runPending();
        running_ = false;
    }

    // One tick of every periodic timer that is waiting.
    void runTimers() {
        std::vector<Scheduled> due;
        due.swap(timers);
        for (Scheduled& t : due) t.step();
    }
    size_t timerCount() const { return timers.size(); }

    void quit() override { ++quits; }

    // ---- reading ------------------------------------------------------------
    QStringList titles() const {
        QStringList t;
        for (const Alert& a : alerts) t << a.title;
        return t;
    }
    int count(const QString& title) const {
        int n = 0;
        for (const Alert& a : alerts) n += a.title == title;
        return n;
    }
    const Alert* find(const QString& title) const {
        for (const Alert& a : alerts)
            if (a.title == title) return &a;
        return nullptr;
    }

  private:
    std::optional<QString> nextDialog(const QString& title) {
        dialogTitles.push_back(title);
        if (dialogs.empty()) return std::nullopt;
        const bool answered = dialogs.front().has_value();
        const QString path = answered ? *dialogs.front() : QString();
        dialogs.pop_front();
        if (!answered) return std::nullopt;
        return path;
    }
    bool record(const QString& s) {
        opened.push_back(s);
        return true;
    }
    void runPending() {
        while (!pending.empty()) {
            auto step = std::move(pending.front().step);
            pending.erase(pending.begin());
            step();
        }
    }
    bool running_ = false;
};

}  // namespace quandor::test
