#include "PayeePaste.h"

#include <gtest/gtest.h>

using namespace payees;

namespace {

// "line:name" of each name, then "line:column:text" of each refused value, joined by " / ".
std::string shown(const NamePaste& paste)
{
    QStringList parts;
    for (const NamePaste::Name& name : paste.names)
        parts << QStringLiteral("%1:%2").arg(name.row).arg(name.name);
    for (const NamePaste::Refused& value : paste.refused)
        parts << QStringLiteral("%1:%2:%3%4").arg(value.row).arg(value.column).arg(value.text.left(8), value.why ? QStringLiteral("(名前)") : QString());
    return parts.join(QStringLiteral(" / ")).toStdString();
}

} // namespace

TEST(PayeePaste, NamesGoIntoTheNameColumnCheckedAsTypedAndPastTheLastLineIntoNewLines)
{
    // The page's grid: the tick column 0, the name column 1; three lines.
    const QList<int> columns{0, 1};
    const QString tooLong(101, QChar(u'長'));
    struct Case {
        const char* what;
        std::vector<QStringList> block;
        std::vector<std::pair<int, int>> selected;
        const char* expected;
    };
    const Case cases[] = {
        {"a column of names, the blanks around them dropped", {{" 北海商事 "}, {"　東京電力"}}, {{0, 1}}, "0:北海商事 / 1:東京電力"},
        {"past the last line: new lines one after another, a blank line leaves no gap", {{"A"}, {"B"}, {""}, {"C"}}, {{2, 1}},
            "2:A / 3:B / 4:C"},
        {"onto the tick column and right of the name: no column takes text there", {{"x", "名前", "余り"}}, {{1, 0}},
            "1:名前 / 1:0:x / 1:-1:余り"},
        {"a name the payee list refuses", {{"良い"}, {tooLong}, {QStringLiteral("改\n行")}}, {{0, 1}},
            "0:良い / 1:1:長長長長長長長長(名前) / 2:1:改\n行(名前)"},
        {"one value over several selected cells fills each", {{"同じ"}}, {{0, 1}, {1, 1}, {1, 0}}, "0:同じ / 1:同じ / 1:0:同じ"},
        {"nothing to paste", {}, {{0, 1}}, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(shown(planNamePaste(c.block, c.selected, columns, 1, 3)), c.expected) << c.what;
}
