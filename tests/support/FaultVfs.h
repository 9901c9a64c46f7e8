#pragma once

#include <QString>

// A SQLite VFS shim for fault tests, registered as the default VFS while an instance
// lives. It counts every write, truncate, sync and delete ("steps") made through it.
//
// Modes:
//  - failAt(n, persistent): the n-th step (1-based) fails with an I/O error; with
//    persistent set, every later step fails too.
//  - powerCutAt(n): the n-th step and everything after it never happen, and once
//    crash() is called every file reverts to what it held at its last sync (or at
//    open, for a file never synced), as after a power cut that drops unsynced writes.
class FaultVfs {
public:
    FaultVfs();
    ~FaultVfs();
    FaultVfs(const FaultVfs&) = delete;
    FaultVfs& operator=(const FaultVfs&) = delete;

    void failAt(long step, bool persistent);
    void powerCutAt(long step);
    void clear();

    long steps() const;
    bool tripped() const;
    // Ends a power cut. With dropUnsynced, every file reverts to its last synced content,
    // as when the machine loses power; without it, what was written stays, as when only
    // the program dies. Call after the connections that used the files are closed.
    void crash(bool dropUnsynced = true);
};
