#pragma once

#include <QObject>
#include <QString>

#include <optional>
#include <thread>

class MainWindow;

// What the start leaves until the window has shown, so that the start does not grow with
// the book: once the window has painted itself for the first time, the day's backup
// (BackupService::startDaily) and the engine's page check of both data files begin, each on
// a thread of its own with read-only connections of its own. When a file fails the check,
// every write is refused from then on (store::Session::refuseWrites) and a box names the
// file with the engine's words and points to the restore. Owned by the window.
class StartupCheck : public QObject {
    Q_OBJECT
public:
    explicit StartupCheck(MainWindow& window);
    ~StartupCheck() override;

    bool finished() const { return finished_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void start();
    void collect();

    MainWindow& window_;
    std::thread thread_;
    QString failedFile_;
    std::optional<QString> problem_;
    bool finished_ = false;
};
