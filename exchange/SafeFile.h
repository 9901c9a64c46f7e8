#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

namespace exchange {

// Writes the bytes through a temporary file in the target's folder that replaces the
// target only once every write and the flush to the disk succeeded (store::WholeFile).
// The file is the user's alone: 0600, less when the umask takes more. Answers an error
// text, empty on success; on failure the target is as it was and no temporary file is left.
QString writeFileAtomically(const QString& path, const QByteArray& bytes);

// Lets `write` make a complete file at a fresh temporary path in the target's folder,
// then flushes it to the disk, narrows it to 0600 and puts it in the target's place.
// `write` answers an error text, empty on success; an empty file is a failure.
// On failure the target is as it was and the temporary file is removed.
QString replaceFileAtomically(const QString& path, const std::function<QString(const QString& temporaryPath)>& write);

} // namespace exchange
