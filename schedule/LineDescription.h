#pragma once

#include "Amount.h"

#include <QString>

#include <optional>

namespace messages {

// One line of the month named for a question, e.g. "07日　山田商店　予定額 12,000　支払額 10,000".
// A blank day or payee is named as such, and a blank amount as 0.
QString describeLine(const QString& day, const QString& payee, std::optional<ledger::Amount> scheduled, std::optional<ledger::Amount> paid);

// A value that was not pasted, e.g. "3 行目 予定額「abc」 金額になりません".
QString describePastedValue(int line, const QString& column, const QString& value, const QString& why);

} // namespace messages
