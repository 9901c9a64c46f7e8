#pragma once

#include "VirtualDisplay.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>

// A desktop session with a real Japanese input method: an X server with openbox, a session
// bus, and fcitx5 with Mozc as the second input method of its group, all run as an
// ordinary user (Mozc refuses root; when the tests run as root they make that user). The
// program runs in that session as that user. Waits are on conditions with a deadline.
class ImeSession {
public:
    ImeSession();
    ~ImeSession();

    // Empty when the session is up; otherwise why it is not.
    const QString& problem() const { return problem_; }
    VirtualDisplay& display() { return display_; }
    // A folder the user owns.
    QString home() const { return home_.path(); }

    // Runs a command as the session's user and returns its standard output ("" on failure).
    QString runAsUser(const QString& program, const QStringList& arguments, int timeoutMs = 10000, int* exitCode = nullptr);
    // Starts a program as the user with the input method's environment (it stays running).
    std::unique_ptr<QProcess> startAsUser(const QString& program, const QStringList& arguments);
    // The state fcitx5 reports (fcitx5-remote): 0 no input context, 1 off, 2 on; -1 unreadable.
    int imState();
    // The last messages of a program started with startAsUser.
    QString log(const QString& program) const;
    // Waits until wanted() holds; false after timeoutMs.
    static bool waitFor(const std::function<bool()>& wanted, int timeoutMs);

private:
    bool haveTools();
    bool prepareUser();
    bool prepareLocale();
    bool startBus();
    bool startInputMethod();
    void writeProfile();
    QStringList asUser(const QString& program, const QStringList& arguments) const;
    QProcessEnvironment userEnvironment() const;
    QString logPath(const QString& program) const;

    QString problem_;
    QString user_;      // empty: the current user (not root)
    QTemporaryDir home_;
    VirtualDisplay display_;
    QString busAddress_;
    qint64 busPid_ = 0;
    std::unique_ptr<QProcess> fcitx_;
};
