#pragma once

#include "BookFile.h"
#include "Digest.h"

#include <QString>

#include <optional>

namespace backup {

// What a restore would find in a backup: whether its bytes are those recorded when it was
// made, whether the engine and the book's layout accept it, whether its balances follow
// from its amounts, and what it holds.
struct BackupCondition {
    enum class Verdict {
        Sound,      // recorded and matching, and every check passes
        Unverified, // every check passes, but nothing was recorded (an earlier version's)
        Damaged,    // the record does not match, or a check fails
    };

    DigestState digest = DigestState::Missing;
    std::optional<QString> unusable;              // why a restore refuses the file outright
    std::optional<ledger::ChainBreak> chainBreak; // the first balance that does not follow
    std::optional<BookSummary> summary;

    Verdict verdict() const;
};

// Reads the whole backup (its record, the engine's check of every page, the balance chain
// and the summary), read-only. Nothing when `stopped` ended it first.
std::optional<BackupCondition> inspectBackup(const QString& path, const StopCheck& stopped = {});

// "yyyy/MM/dd の行 n": the line where a book's balance chain breaks.
QString describeBreak(const ledger::ChainBreak& broken);

// The words of the restore list for a condition: 正常, 未検証（…） or 破損（…）.
QString conditionText(const BackupCondition& condition);

} // namespace backup
