#pragma once

#include <QProcess>
#include <QRect>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

// An X server of its own (Xvfb on a free display) with the openbox window manager, and
// xdotool to find the windows of a process and type into them. Waits are on conditions
// with a deadline, never fixed sleeps.
class VirtualDisplay {
public:
    VirtualDisplay();
    ~VirtualDisplay();

    // Empty when the display is up; otherwise why it is not.
    const QString& problem() const { return problem_; }
    const QString& name() const { return display_; } // ":N"

    // The first visible window of the process, once it has one whose title satisfies
    // wanted (any title when wanted is empty); nothing after timeoutMs.
    std::optional<QString> waitForWindow(qint64 pid, const QString& title, int timeoutMs = 15000);
    std::optional<QString> waitForWindowTitled(qint64 pid, const std::function<bool(const QString&)>& wanted, int timeoutMs = 15000);
    QString title(const QString& window);
    QRect geometry(const QString& window);
    // Activates the window and presses keys (xdotool names: Return, Escape, alt+F4).
    bool press(const QString& window, const QString& keys);
    void moveTo(const QString& window, int x, int y);
    // Saves the screen as a PNG (for a failing test).
    void saveScreenshot(const QString& path);

    // Runs an X client on this display and returns its standard output.
    QString run(const QString& program, const QStringList& arguments, int timeoutMs = 10000);

private:
    bool startServer();
    bool startWindowManager();

    std::unique_ptr<QProcess> server_;
    std::unique_ptr<QProcess> windowManager_;
    QString display_;
    QString problem_;
};
