#pragma once

#include "VirtualDisplay.h"

#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <optional>

// A burst of real input: xdotool commands sent one after another without waiting on the
// program. Key names are xdotool's (Return, Tab, alt+Right); xdotool's "type" takes the rest
// of its command line as text, so each text ends one xdotool run.
class Input {
public:
    Input& click(QPoint inWindow);
    Input& key(const QString& keys);
    Input& type(const QString& text, int delayMs = 15);
    // Keys in angle brackets (<Tab>), anything else typed as text.
    Input& keys(std::initializer_list<const char*> parts, int delayMs = 15);

private:
    friend class ProgramUnderX;
    QList<QStringList> runs_{QStringList{}};
    QList<QPoint> clicks_; // in the window; placed on the screen when sent
};

// The built program Quorel1 running as a separate process on a data folder of its own,
// with a home of its own (so that it starts at its default window size), on the one
// virtual display that the suite shares. Input goes through xdotool, so it reaches the
// program as a real keyboard's and mouse's would. Every wait is on a condition with a
// deadline.
class ProgramUnderX {
public:
    // The display of the whole suite, started on first use.
    static VirtualDisplay& display();
    // Empty once that display is up with its window manager and key map; otherwise why not.
    static QString displayProblem();

    explicit ProgramUnderX(const QString& dataDirectory);
    ~ProgramUnderX();
    ProgramUnderX(const ProgramUnderX&) = delete;
    ProgramUnderX& operator=(const ProgramUnderX&) = delete;

    // Empty once the main window is up and has the focus; otherwise what went wrong.
    const QString& problem() const { return problem_; }
    // The main window's inside (without the frame) on the screen.
    const QRect& client() const { return client_; }

    // Runs one xdotool command line, which may chain several commands.
    bool xdo(const QStringList& arguments);
    bool send(const Input& input);
    bool key(const QString& keys) { return xdo({QStringLiteral("key"), keys}); }

    // A window of the program titled exactly title, mapped within timeoutMs.
    std::optional<QString> waitForDialog(const QString& title, int timeoutMs = 10000);
    // Any window of the program other than the main window.
    std::optional<QString> waitForAnyDialog(int timeoutMs);
    // Activates the dialog, presses keys and waits until it is gone.
    bool answer(const QString& dialog, const QString& keys);
    bool waitForMainFocus(int timeoutMs = 10000);

    // 登録 from the keyboard: Ctrl+S, Return to the question (はい is its default), then
    // waits until the program has finished the save.
    bool registerMonth();
    // Waits until the program has handled all input sent so far (a round trip through a
    // question that is answered いいえ), so that the files can be read without disturbing it.
    bool waitUntilIdle();

    bool waitForExit(int timeoutMs = 15000);
    bool running() const { return process_.state() != QProcess::NotRunning; }
    qint64 processId() const { return process_.processId(); }
    // Whether the program ended by itself with exit status 0 (not by a signal).
    bool exitedCleanly() const { return process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0; }
    // Sends a signal to the program (SIGTERM, SIGKILL, …).
    bool signal(int number);
    // The screen as a PNG under the temporary folder, for a failing test; returns its path.
    QString screenshot(const QString& name);

private:
    static QString& keyMapProblem();
    bool start(const QString& dataDirectory);

    QTemporaryDir home_;
    QString dataDirectory_;
    QProcess process_;
    QString window_;
    QRect client_;
    QString problem_;
};
