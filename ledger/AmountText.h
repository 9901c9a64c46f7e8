#pragma once

#include <QString>

namespace store {

// Whether the commas of an amount's text stand only between groups of three digits of its
// whole part: "1,234,567" and "-1,234.5" are grouped, "1,2,3", "12,34", "1234,567", ",123",
// "1,234,", "1,,234" and "1.234,5" are not. Text without a comma is grouped. Full-width
// digits and commas (，、) count as their ASCII forms; blanks around the text are ignored.
// Other characters are left to the amount's parser to refuse.
bool hasValidThousandsGrouping(const QString& text);

} // namespace store
