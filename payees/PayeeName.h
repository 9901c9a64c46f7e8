#pragma once

#include <QString>

#include <optional>

namespace payees {

// The longest payee name, in characters (code points); a longer one is refused, never cut.
inline constexpr int kMaxPayeeNameLength = 100;

// Why a payee name is refused.
struct NameRefusal {
    enum class Reason {
        TooLong,     // more than kMaxPayeeNameLength characters
        Control,     // a control character (NUL, tab, line break, …) or a broken character
    };
    Reason reason;
    int length = 0;      // the name's length in characters
    int position = 0;    // 1-based character position of the first control character
    char32_t character = 0;
    // The reason in the catalogue's words, for a box.
    QString text() const;
};

// The name as it is kept: without the blanks before and after it (ASCII white space, the
// full-width space U+3000).
QString normalizePayeeName(const QString& name);

// Checks a name as it is kept (normalizePayeeName first): nothing when it may be kept.
std::optional<NameRefusal> checkPayeeName(const QString& name);

// A name in a box: at most 40 characters, then "…", control characters by their code.
QString shownPayeeName(const QString& name);

} // namespace payees
