#include "Digest.h"

#include "WholeFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>

namespace backup {

namespace {

// A record names a handful of files: anything longer is not one of ours.
constexpr qint64 kLargestRecord = 64 * 1024;
constexpr qint64 kBlock = 1 << 20;

struct RecordLine {
    QByteArray digest;
    QString name;
};

std::optional<std::vector<RecordLine>> readRecord(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kLargestRecord)
        return std::nullopt;
    static const QRegularExpression line(QStringLiteral("^([0-9a-f]{64}) [ *]([^/\\n]+)$"));
    std::vector<RecordLine> lines;
    for (const QString& text : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const auto match = line.match(text);
        if (!match.hasMatch())
            return std::nullopt;
        lines.push_back({match.captured(1).toLatin1(), match.captured(2)});
    }
    return lines;
}

} // namespace

QString digestPathOf(const QString& backupPath)
{
    return backupPath + QStringLiteral(".sha256");
}

std::optional<QByteArray> fileDigest(const QString& path, const StopCheck& stopped)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    while (!file.atEnd()) {
        if (stopped && stopped())
            return std::nullopt;
        const QByteArray block = file.read(kBlock);
        if (block.isEmpty() && file.error() != QFileDevice::NoError)
            return std::nullopt;
        hash.addData(block);
    }
    return hash.result().toHex();
}

QString writeDigest(const QString& backupPath, const std::vector<DigestSource>& files, int* osError)
{
    const auto failed = [&](const QString& text, int error) {
        if (osError)
            *osError = error;
        return text;
    };
    QByteArray record;
    for (const DigestSource& source : files) {
        const auto digest = fileDigest(source.file);
        if (!digest)
            return failed(QStringLiteral("read ") + source.file, EIO);
        record += *digest + "  " + source.name.toUtf8() + '\n';
    }
    store::WholeFile target(digestPathOf(backupPath));
    if (target.write(record) && target.commit())
        return {};
    return failed(target.error(), target.osError());
}

std::optional<DigestState> checkDigest(const QString& backupPath, const StopCheck& stopped)
{
    const QString recordPath = digestPathOf(backupPath);
    if (!QFileInfo::exists(recordPath))
        return DigestState::Missing;
    const auto record = readRecord(recordPath);
    const QFileInfo backup(backupPath);
    if (!record || std::none_of(record->begin(), record->end(), [&](const RecordLine& l) { return l.name == backup.fileName(); }))
        return DigestState::Mismatch;
    for (const RecordLine& line : *record) {
        const auto digest = fileDigest(backup.dir().filePath(line.name), stopped);
        if (!digest && stopped && stopped())
            return std::nullopt;
        if (digest != line.digest)
            return DigestState::Mismatch;
    }
    return DigestState::Matches;
}

} // namespace backup
