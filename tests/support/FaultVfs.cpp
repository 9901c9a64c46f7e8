#include "FaultVfs.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace {

struct State {
    sqlite3_vfs* base = nullptr;
    long steps = 0;
    long failStep = 0; // 0: never
    bool persistent = false;
    bool powerCut = false;
    bool tripped = false;
    // Durable content of each file (its content at its last sync), by path.
    std::map<std::string, std::vector<char>> durable;
    std::map<std::string, bool> existedDurably;
};

State state;
sqlite3_vfs faultVfs;

struct FaultFile {
    sqlite3_file base;      // must come first
    sqlite3_file* real;     // the wrapped file, allocated after this struct
    std::string path;
};

std::vector<FaultFile*> openFiles;

// Returns SQLITE_OK to go ahead, or the error for a step that must fail.
int countStep(int error)
{
    ++state.steps;
    if (state.failStep == 0)
        return SQLITE_OK;
    if (state.tripped && (state.persistent || state.powerCut))
        return error;
    if (state.steps == state.failStep) {
        state.tripped = true;
        return error;
    }
    return SQLITE_OK;
}

std::vector<char> readWhole(sqlite3_file* file)
{
    sqlite3_int64 size = 0;
    file->pMethods->xFileSize(file, &size);
    std::vector<char> bytes(static_cast<size_t>(size));
    if (size > 0)
        file->pMethods->xRead(file, bytes.data(), static_cast<int>(size), 0);
    return bytes;
}

void rememberDurable(FaultFile* f)
{
    if (f->path.empty())
        return;
    state.durable[f->path] = readWhole(f->real);
    state.existedDurably[f->path] = true;
}

int xClose(sqlite3_file* file)
{
    auto* f = reinterpret_cast<FaultFile*>(file);
    int rc = f->real->pMethods ? f->real->pMethods->xClose(f->real) : SQLITE_OK;
    std::erase(openFiles, f);
    f->path.~basic_string();
    return rc;
}
int xRead(sqlite3_file* file, void* buffer, int amount, sqlite3_int64 offset)
{
    auto* f = reinterpret_cast<FaultFile*>(file);
    return f->real->pMethods->xRead(f->real, buffer, amount, offset);
}
int xWrite(sqlite3_file* file, const void* buffer, int amount, sqlite3_int64 offset)
{
    auto* f = reinterpret_cast<FaultFile*>(file);
    if (int rc = countStep(SQLITE_IOERR_WRITE); rc != SQLITE_OK)
        return rc;
    return f->real->pMethods->xWrite(f->real, buffer, amount, offset);
}
int xTruncate(sqlite3_file* file, sqlite3_int64 size)
{
    auto* f = reinterpret_cast<FaultFile*>(file);
    if (int rc = countStep(SQLITE_IOERR_TRUNCATE); rc != SQLITE_OK)
        return rc;
    return f->real->pMethods->xTruncate(f->real, size);
}
int xSync(sqlite3_file* file, int flags)
{
    auto* f = reinterpret_cast<FaultFile*>(file);
    if (int rc = countStep(SQLITE_IOERR_FSYNC); rc != SQLITE_OK)
        return rc;
    int rc = f->real->pMethods->xSync(f->real, flags);
    if (rc == SQLITE_OK && state.powerCut)
        rememberDurable(f);
    return rc;
}
int xFileSize(sqlite3_file* file, sqlite3_int64* size)
{
    auto* f = reinterpret_cast<FaultFile*>(file);
    return f->real->pMethods->xFileSize(f->real, size);
}
int xLock(sqlite3_file* file, int level)
{
    auto* f = reinterpret_cast<FaultFile*>(file);
    return f->real->pMethods->xLock(f->real, level);
}
int xUnlock(sqlite3_file* file, int level)
{
    auto* f = reinterpret_cast<FaultFile*>(file);
    return f->real->pMethods->xUnlock(f->real, level);
}
int xCheckReservedLock(sqlite3_file* file, int* out)
{
    auto* f = reinterpret_cast<FaultFile*>(file);
    return f->real->pMethods->xCheckReservedLock(f->real, out);
}
int xFileControl(sqlite3_file* file, int op, void* arg)
{
    auto* f = reinterpret_cast<FaultFile*>(file);
    return f->real->pMethods->xFileControl(f->real, op, arg);
}
int xSectorSize(sqlite3_file* file)
{
    auto* f = reinterpret_cast<FaultFile*>(file);
    return f->real->pMethods->xSectorSize(f->real);
}
int xDeviceCharacteristics(sqlite3_file* file)
{
    auto* f = reinterpret_cast<FaultFile*>(file);
    return f->real->pMethods->xDeviceCharacteristics(f->real);
}

// The shared memory of a file that logs ahead goes straight to the real file: it is an index
// that the engine rebuilds from the log when the last connection has gone.
int xShmMap(sqlite3_file* file, int page, int size, int extend, void volatile** out)
{
    auto* f = reinterpret_cast<FaultFile*>(file);
    return f->real->pMethods->xShmMap(f->real, page, size, extend, out);
}
int xShmLock(sqlite3_file* file, int offset, int n, int flags)
{
    auto* f = reinterpret_cast<FaultFile*>(file);
    return f->real->pMethods->xShmLock(f->real, offset, n, flags);
}
void xShmBarrier(sqlite3_file* file)
{
    auto* f = reinterpret_cast<FaultFile*>(file);
    f->real->pMethods->xShmBarrier(f->real);
}
int xShmUnmap(sqlite3_file* file, int deleteFlag)
{
    auto* f = reinterpret_cast<FaultFile*>(file);
    return f->real->pMethods->xShmUnmap(f->real, deleteFlag);
}

const sqlite3_io_methods kMethods = {
    2, xClose, xRead, xWrite, xTruncate, xSync, xFileSize, xLock, xUnlock, xCheckReservedLock,
    xFileControl, xSectorSize, xDeviceCharacteristics, xShmMap, xShmLock, xShmBarrier, xShmUnmap, nullptr, nullptr};

int vfsOpen(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags)
{
    auto* f = reinterpret_cast<FaultFile*>(file);
    f->base.pMethods = nullptr;
    f->real = reinterpret_cast<sqlite3_file*>(reinterpret_cast<char*>(file) + sizeof(FaultFile));
    std::memset(f->real, 0, static_cast<size_t>(state.base->szOsFile));
    int rc = state.base->xOpen(state.base, name, f->real, flags, outFlags);
    if (rc != SQLITE_OK)
        return rc;
    new (&f->path) std::string(name ? name : "");
    f->base.pMethods = &kMethods;
    openFiles.push_back(f);
    if (state.powerCut && !f->path.empty() && !state.existedDurably.count(f->path)) {
        // What a file held before the first sync since the cut was armed.
        state.durable[f->path] = readWhole(f->real);
        state.existedDurably[f->path] = state.durable[f->path].size() > 0;
    }
    return SQLITE_OK;
}
int vfsDelete(sqlite3_vfs*, const char* name, int syncDir)
{
    if (int rc = countStep(SQLITE_IOERR_DELETE); rc != SQLITE_OK)
        return rc;
    int rc = state.base->xDelete(state.base, name, syncDir);
    if (rc == SQLITE_OK && state.powerCut && name) {
        state.durable[name].clear();
        state.existedDurably[name] = false;
    }
    return rc;
}
int vfsAccess(sqlite3_vfs*, const char* name, int flags, int* out)
{
    return state.base->xAccess(state.base, name, flags, out);
}
int vfsFullPathname(sqlite3_vfs*, const char* name, int size, char* out)
{
    return state.base->xFullPathname(state.base, name, size, out);
}
void* vfsDlOpen(sqlite3_vfs*, const char* name) { return state.base->xDlOpen(state.base, name); }
void vfsDlError(sqlite3_vfs*, int n, char* msg) { state.base->xDlError(state.base, n, msg); }
void (*vfsDlSym(sqlite3_vfs*, void* handle, const char* symbol))(void) { return state.base->xDlSym(state.base, handle, symbol); }
void vfsDlClose(sqlite3_vfs*, void* handle) { state.base->xDlClose(state.base, handle); }
int vfsRandomness(sqlite3_vfs*, int n, char* out) { return state.base->xRandomness(state.base, n, out); }
int vfsSleep(sqlite3_vfs*, int micro) { return state.base->xSleep(state.base, micro); }
int vfsCurrentTime(sqlite3_vfs*, double* out) { return state.base->xCurrentTime(state.base, out); }
int vfsGetLastError(sqlite3_vfs*, int n, char* out) { return state.base->xGetLastError ? state.base->xGetLastError(state.base, n, out) : 0; }
int vfsCurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* out) { return state.base->xCurrentTimeInt64(state.base, out); }

} // namespace

FaultVfs::FaultVfs()
{
    sqlite3_initialize();
    state = State{};
    state.base = sqlite3_vfs_find(nullptr);
    faultVfs = sqlite3_vfs{};
    faultVfs.iVersion = 2;
    faultVfs.szOsFile = static_cast<int>(sizeof(FaultFile)) + state.base->szOsFile;
    faultVfs.mxPathname = state.base->mxPathname;
    faultVfs.zName = "quorel-fault";
    faultVfs.xOpen = vfsOpen;
    faultVfs.xDelete = vfsDelete;
    faultVfs.xAccess = vfsAccess;
    faultVfs.xFullPathname = vfsFullPathname;
    faultVfs.xDlOpen = vfsDlOpen;
    faultVfs.xDlError = vfsDlError;
    faultVfs.xDlSym = vfsDlSym;
    faultVfs.xDlClose = vfsDlClose;
    faultVfs.xRandomness = vfsRandomness;
    faultVfs.xSleep = vfsSleep;
    faultVfs.xCurrentTime = vfsCurrentTime;
    faultVfs.xGetLastError = vfsGetLastError;
    faultVfs.xCurrentTimeInt64 = vfsCurrentTimeInt64;
    sqlite3_vfs_register(&faultVfs, 1);
}

FaultVfs::~FaultVfs()
{
    sqlite3_vfs_unregister(&faultVfs);
    sqlite3_vfs_register(state.base, 1);
}

void FaultVfs::failAt(long step, bool persistent)
{
    clear();
    state.failStep = step;
    state.persistent = persistent;
}

void FaultVfs::powerCutAt(long step)
{
    clear();
    state.failStep = step;
    state.powerCut = true;
    for (FaultFile* f : openFiles)
        rememberDurable(f);
}

void FaultVfs::clear()
{
    state.steps = 0;
    state.failStep = 0;
    state.persistent = false;
    state.powerCut = false;
    state.tripped = false;
    state.durable.clear();
    state.existedDurably.clear();
}

long FaultVfs::steps() const
{
    return state.steps;
}

bool FaultVfs::tripped() const
{
    return state.tripped;
}

void FaultVfs::crash(bool dropUnsynced)
{
    if (!dropUnsynced) {
        clear();
        return;
    }
    for (const auto& [path, bytes] : state.durable) {
        const bool existed = state.existedDurably[path];
        if (!existed) {
            std::remove(path.c_str());
            continue;
        }
        if (FILE* out = std::fopen(path.c_str(), "wb")) {
            if (!bytes.empty())
                std::fwrite(bytes.data(), 1, bytes.size(), out);
            std::fclose(out);
        }
    }
    clear();
}
