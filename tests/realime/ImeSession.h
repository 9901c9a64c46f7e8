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
// bus, and either fcitx5 with Mozc as the second input method of its group, or IBus
// (ibus-daemon with its panel and XIM server) with the engines the test sets, all run as
// an ordinary user (Mozc refuses root; when the tests run as root they make that user).
// The program runs in that session as that user. Waits are on conditions with a deadline.
class ImeSession {
public:
    enum class Framework { Fcitx5, IBus };
    // What the input method reports (the numbers of fcitx5-remote).
    static constexpr int kUnreadable = -1;
    static constexpr int kNoContext = 0;
    static constexpr int kOff = 1;
    static constexpr int kOn = 2;

    explicit ImeSession(Framework framework = Framework::Fcitx5);
    ~ImeSession();

    // Empty when the session is up; otherwise why it is not.
    const QString& problem() const { return problem_; }
    Framework framework() const { return framework_; }
    VirtualDisplay& display() { return display_; }
    // A folder the user owns.
    QString home() const { return home_.path(); }

    // Runs a command as the session's user and returns its standard output ("" on failure).
    QString runAsUser(const QString& program, const QStringList& arguments, int timeoutMs = 10000, int* exitCode = nullptr);
    // Starts a program as the user with the input method's environment and the extra
    // variables (it stays running).
    std::unique_ptr<QProcess> startAsUser(const QString& program, const QStringList& arguments, const QProcessEnvironment& extra = {});
    // The state of the input method: kOff or kOn, kNoContext (fcitx5 without a focused
    // window), kUnreadable. Under IBus it is off while a keyboard engine is the engine or
    // Mozc is in direct input, on while Mozc is in another mode.
    int imState();
    // Turns the input method on or off as the user does by hand (fcitx5-remote -o / -c;
    // under IBus Mozc's mode menu, after switching to Mozc from a keyboard engine).
    bool turn(bool on);

    // IBus only. The user's engines (preload-engines), as the settings of IBus keep them.
    bool setUserEngines(const QStringList& engines);
    // Makes the engine the global engine and waits until IBus says it is.
    bool setEngine(const QString& engine);
    // The global engine and Mozc's mode entry as IBus said them last.
    QString engine();
    QString mode();
    // What the probe and the daemon said, for a failure's message.
    QString ibusLog() const;

    // The last messages of a program started with startAsUser.
    QString log(const QString& program) const;
    // Waits until wanted() holds; false after timeoutMs.
    static bool waitFor(const std::function<bool()>& wanted, int timeoutMs);

private:
    bool haveTools();
    bool prepareUser();
    bool prepareLocale();
    bool startBus();
    bool startFcitx5();
    bool startIBus();
    bool knowsTheEngines();
    // What dbus-send prints for a call on the session bus, as the user.
    QString busCall(const QString& destination, const QString& path, const QString& method, const QString& argument = {});
    void writeProfile();
    QString lastProbeLine(const QString& kind);
    void tellProbe(const QString& command);
    QStringList asUser(const QString& program, const QStringList& arguments) const;
    QProcessEnvironment userEnvironment() const;
    QString logPath(const QString& program) const;

    Framework framework_;
    QString problem_;
    QString user_;      // empty: the current user (not root)
    QTemporaryDir home_;
    VirtualDisplay display_;
    QString busAddress_;
    qint64 busPid_ = 0;
    QString ibusAddress_;
    std::unique_ptr<QProcess> inputMethod_;
    std::unique_ptr<QProcess> probe_;
};
