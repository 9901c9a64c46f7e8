#pragma once

#include <QFile>
#include <QString>

#include <sys/stat.h>

// The permission bits of a file or folder; a value no mode has when there is none.
inline unsigned modeOf(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return 01000000;
    return st.st_mode & 07777;
}

// Sets the process's umask for the scope.
class Umask {
public:
    explicit Umask(mode_t mask)
        : previous_(::umask(mask))
    {
    }
    ~Umask() { ::umask(previous_); }
    Umask(const Umask&) = delete;
    Umask& operator=(const Umask&) = delete;

private:
    mode_t previous_;
};
