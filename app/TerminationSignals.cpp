#include "TerminationSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

namespace {

// The write end for the handler; only ever set while no handler is installed.
volatile sig_atomic_t gWriteFd = -1;

extern "C" void writeSignalByte(int signalNumber)
{
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    if (gWriteFd >= 0) {
        const ssize_t written = ::write(gWriteFd, &byte, 1);
        static_cast<void>(written); // a full pipe already holds a byte that ends the program
    }
    errno = saved;
}

} // namespace

const int TerminationSignals::kSignals[3] = {SIGTERM, SIGHUP, SIGINT};

TerminationSignals::TerminationSignals(QObject* parent)
    : QObject(parent)
{
    if (gWriteFd >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, fds_) != 0)
        return;
    gWriteFd = fds_[0];
    notifier_ = new QSocketNotifier(fds_[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::readPending);
    struct sigaction action {};
    action.sa_handler = writeSignalByte;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (const int number : kSignals)
        ::sigaction(number, &action, nullptr);
}

TerminationSignals::~TerminationSignals()
{
    if (!notifier_)
        return;
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (const int number : kSignals)
        ::sigaction(number, &action, nullptr);
    gWriteFd = -1;
    delete notifier_;
    ::close(fds_[0]);
    ::close(fds_[1]);
}

void TerminationSignals::readPending()
{
    unsigned char byte = 0;
    iovec part{&byte, 1};
    while (::readv(fds_[1], &part, 1) == 1)
        emit received(byte);
}
