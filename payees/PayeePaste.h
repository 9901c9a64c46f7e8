#pragma once

#include "PayeeName.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>
#include <vector>

namespace payees {

// A block pasted on the payee page's grid, as each value would be typed there: only the
// name column takes text; a value that lands on another column (the tick column, right of
// the name) or that checkPayeeName refuses is refused, a blank one changes nothing.
struct NamePaste {
    struct Name {
        int row = 0;
        QString name; // as it is kept (normalizePayeeName)
    };
    struct Refused {
        int row = 0;
        int column = -1; // -1: right of the grid's last column
        QString text;    // as pasted
        std::optional<NameRefusal> why; // nothing: no column takes text there
    };
    std::vector<Name> names; // in line order
    std::vector<Refused> refused;
};

// The block with its top-left value on the first of the `selected` cells (line, column),
// over a grid whose shown columns are `columns` in screen order; a single value over several
// selected cells fills each of them. The page holds `rowCount` lines: names for lines past
// them go into new lines after the last, one after another.
NamePaste planNamePaste(const std::vector<QStringList>& block, const std::vector<std::pair<int, int>>& selected, const QList<int>& columns,
    int nameColumn, int rowCount);

} // namespace payees
