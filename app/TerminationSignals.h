#pragma once

#include <QObject>

class QSocketNotifier;

// SIGTERM, SIGHUP and SIGINT (logout, shutdown, a closed terminal, Ctrl+C) brought to the
// event loop: the handler only writes the signal's number into a socket pair, and a
// QSocketNotifier reads it on the main thread and emits received(). The first signal of a
// kind is caught; a second of the same kind ends the program at once, as by default, for
// the case that the close itself hangs. One object at a time; the default handling comes
// back when it goes away.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    bool installed() const { return notifier_ != nullptr; }
    static const int kSignals[3];

signals:
    void received(int signalNumber);

private:
    void readPending();

    int fds_[2] = {-1, -1};
    QSocketNotifier* notifier_ = nullptr;
};
