#include "RealInputSeeds.h"

#include "Amount.h"
#include "MainFileSeed.h"
#include "ProgramUnderX.h"
#include "Sql.h"

#include <SQLiteCpp/Database.h>

namespace realinput {

namespace {

QString amountText(const std::optional<qint64>& amount)
{
    return amount ? QString::number(*amount) : QStringLiteral("-");
}

std::optional<qint64> yen(const QVariant& stored)
{
    if (stored.isNull())
        return std::nullopt;
    return stored.toLongLong() / ledger::Amount::kScale;
}

// Digits typed in ASCII or full width, commas ignored.
qint64 typedNumber(const QString& text)
{
    qint64 value = 0;
    for (QChar c : text) {
        if (c.digitValue() >= 0)
            value = value * 10 + c.digitValue();
    }
    return value;
}

} // namespace

std::vector<Line> january2006()
{
    return {
        {1, "2006-01-03", "Alpha", 30000, 30000},
        {2, "2006-01-05", "Bravo", 12000, 0},
        {3, "2006-01-08", "Charlie", 5000, 5000},
        {4, "2006-01-10", "Delta", 20000, 0},
        {5, "2006-01-15", "Echo", 8000, 8000},
        {6, "2006-01-20", "Foxtrot", 9000, 0},
        {7, "2006-01-25", "Golf", 95000, 0},
        {8, "2006-01-28", "Hotel", 7000, 7000},
    };
}

void seedSettings(const TempDataDir& data)
{
    seed::storeSettings(data, QStringLiteral("西暦"), 0, QVariant());
}

void seedJanuary2006(const TempDataDir& data)
{
    seedSettings(data);
    std::vector<seed::StoredLine> lines;
    QStringList payees;
    qint64 balance = 0;
    for (const Line& line : january2006()) {
        balance += line.scheduled.value_or(0) - line.paid.value_or(0);
        lines.push_back({QDate::fromString(line.date, Qt::ISODate), line.lineNumber, line.payee, line.scheduled.value_or(0), line.paid.value_or(0), balance});
        payees << line.payee;
    }
    seed::storeLines(data, lines);
    seed::storePayees(data, payees);
}

void typeInto(Line& line, layout::Column column, const QString& text)
{
    switch (column) {
    case layout::Column::Day:
        line.date = line.date.left(8) + QStringLiteral("%1").arg(typedNumber(text), 2, 10, QLatin1Char('0'));
        break;
    case layout::Column::Payee:
        line.payee = text;
        break;
    case layout::Column::Scheduled:
        line.scheduled = typedNumber(text);
        break;
    case layout::Column::Paid:
        line.paid = typedNumber(text);
        break;
    case layout::Column::Balance:
        break;
    }
}

QString describe(const std::vector<Line>& lines)
{
    QStringList out;
    for (const Line& line : lines)
        out << QStringLiteral("#%1 %2 %3 %4 %5").arg(line.lineNumber).arg(line.date, line.payee, amountText(line.scheduled), amountText(line.paid));
    return out.join(QLatin1Char('\n'));
}

QString storedLines(const TempDataDir& data, const char* monthPrefix)
{
    SQLite::Database main(data.mainPath().toStdString(), SQLite::OPEN_READONLY);
    std::vector<Line> lines;
    for (const store::Row& r : store::queryRows(main, QStringLiteral("SELECT 行番号, 日付, 支払先名, 予定額, 支払額 FROM 支払予定表 WHERE 日付 LIKE ? ORDER BY 行番号, 日付, rowid"),
             {QString::fromUtf8(monthPrefix) + QStringLiteral("%")}))
        lines.push_back({r[0].toInt(), r[1].toString(), r[2].toString(), yen(r[3]), yen(r[4])});
    return describe(lines);
}

std::optional<qint64> storedBalance(const TempDataDir& data, const QString& date, const QString& payee)
{
    SQLite::Database main(data.mainPath().toStdString(), SQLite::OPEN_READONLY);
    const auto rows = store::queryRows(main, QStringLiteral("SELECT 残高 FROM 支払予定表 WHERE 日付 = ? AND 支払先名 = ? ORDER BY 行番号"), {date, payee});
    return rows.empty() ? std::nullopt : yen(rows.front()[0]);
}

bool loadMonth(ProgramUnderX& program, const QString& yyyymm)
{
    Input input;
    input.click(layout::yearMonthField()).key(QStringLiteral("ctrl+a")).type(yyyymm).key(QStringLiteral("Return"));
    return program.send(input);
}

} // namespace realinput
