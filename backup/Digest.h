#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace backup {

// Each backup's contents are recorded when it is made: the SHA-256 of every file of the
// backup (the copy of the book, and the journal kept beside a journal copy) in a file
// beside it, "<backup>.sha256", in the format of sha256sum ("<hex>  <name>" a line), so
// that `sha256sum -c` checks it too. The record lives outside the copy so that the copy
// stays the book's file byte for byte (it can be put in place of Quorel1.mdb as it is),
// and so that it covers every byte of the file, the engine's own pages included.

// A file to record: where its bytes are now, and the name it has in the backup folder
// (a copy still under its temporary name is recorded under the name it will take).
struct DigestSource {
    QString file;
    QString name;
};

// What the record says of a backup as it is now.
enum class DigestState {
    Matches,  // every file recorded is there with the bytes it had when it was made
    Missing,  // no record: a backup of an earlier version
    Mismatch, // a file differs or is missing, or the record itself cannot be read
};

// Asked between blocks of a long read: true ends the read (the answer is then nothing).
using StopCheck = std::function<bool()>;

QString digestPathOf(const QString& backupPath);

// The SHA-256 of a file's bytes, read a block at a time, in lowercase hex; nothing when
// the file cannot be read or `stopped` says so.
std::optional<QByteArray> fileDigest(const QString& path, const StopCheck& stopped = {});

// Writes the record of a backup whole or not at all (store::WholeFile). Answers an error
// text (empty on success) and the system's error number of the failure when there is one.
QString writeDigest(const QString& backupPath, const std::vector<DigestSource>& files, int* osError = nullptr);

// Reads the record of a backup and checks every file it names, in the backup's folder.
// A record that does not name the backup itself does not match.
std::optional<DigestState> checkDigest(const QString& backupPath, const StopCheck& stopped = {});

} // namespace backup
