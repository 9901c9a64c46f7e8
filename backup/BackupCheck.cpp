#include "BackupCheck.h"

#include "Msg.h"

#include <QStringList>

namespace backup {

BackupCondition::Verdict BackupCondition::verdict() const
{
    if (digest == DigestState::Mismatch || unusable || chainBreak)
        return Verdict::Damaged;
    return digest == DigestState::Matches ? Verdict::Sound : Verdict::Unverified;
}

std::optional<BackupCondition> inspectBackup(const QString& path, const StopCheck& stopped)
{
    const auto isStopped = [&] { return stopped && stopped(); };
    BackupCondition condition;
    const auto digest = checkDigest(path, stopped);
    if (!digest)
        return std::nullopt;
    condition.digest = *digest;
    if (isStopped())
        return std::nullopt;
    condition.unusable = checkBookFile(path);
    if (condition.unusable)
        return condition;
    if (isStopped())
        return std::nullopt;
    condition.chainBreak = chainBreakOf(path);
    if (isStopped())
        return std::nullopt;
    condition.summary = summarizeBookFile(path);
    return condition;
}

QString describeBreak(const ledger::ChainBreak& broken)
{
    return broken.date.toString(QStringLiteral("yyyy/MM/dd")) + QStringLiteral(" の行 %1").arg(broken.lineNumber);
}

QString conditionText(const BackupCondition& condition)
{
    using messages::MsgId;
    switch (condition.verdict()) {
    case BackupCondition::Verdict::Sound:
        return messages::messageText(MsgId::復元_状態正常);
    case BackupCondition::Verdict::Unverified:
        return messages::messageText(MsgId::復元_状態未検証);
    case BackupCondition::Verdict::Damaged:
        break;
    }
    QStringList causes;
    if (condition.digest == DigestState::Mismatch)
        causes << messages::messageText(MsgId::復元_原因不一致);
    if (condition.unusable)
        causes << messages::messageText(MsgId::復元_原因復元不可);
    if (condition.chainBreak)
        causes << messages::messageText(MsgId::復元_原因残高, describeBreak(*condition.chainBreak));
    return messages::messageText(MsgId::復元_状態破損, causes.join(QStringLiteral("、")));
}

} // namespace backup
