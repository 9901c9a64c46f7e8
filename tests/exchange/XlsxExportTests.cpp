#include "ExportTestSupport.h"

#include "ExportFile.h"
#include "Session.h"
#include "TempDataDir.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>

#include <gtest/gtest.h>

using namespace exchange;
using namespace exporttest;

namespace {

const QString kAmountFormat = QStringLiteral("#,##0;[Red]-#,##0");

// A small book: the line before December carries 100000 yen over; December holds a name
// with a comma, one with quotes, one with a line break, a fraction of a yen, a negative
// balance and a null amount; January holds an amount too long for Excel's 15 digits.
void storeBook(SQLite::Database& main)
{
    storeLine(main, "2026-11-30", 1, "前月の店", yen(100000), 0, yen(100000));
    storeLine(main, "2026-12-05", 1, "北海商事, 本店", yen(50000), 0, yen(150000));
    storeLine(main, "2026-12-10", 2, "「かぎ」\"引用\"", 123456, 0, 1500123456);
    storeLine(main, "2026-12-20", 3, "二行\n目", 0, yen(200000), -499876544);
    storeLine(main, "2026-12-25", 4, "髙橋", QVariant(), yen(1), QVariant());
    storeLine(main, "2027-01-04", 1, "巨額", Q_INT64_C(9000000000499876545), 0, Q_INT64_C(9000000000000000001));
}

QJsonArray cell(const QString& type, const QJsonValue& value, const QString& format = QStringLiteral("General"))
{
    return QJsonArray{type, value, format};
}

} // namespace

TEST(XlsxExport, WorkbookReadsBackWithExactValuesTypesFormatsAndPrintSettings)
{
    TempDataDir dir;
    auto session = store::Session::open(dir.path());
    storeBook(session->mainDb());
    const auto months = readStoredMonths(*session, QDate(2026, 12, 1), QDate(2027, 1, 31));
    ASSERT_EQ(months.size(), 2u);
    const ExportChoice choice{ExportFormat::Xlsx, CsvEncoding::Cp932, QDate(2026, 12, 1), QDate(2027, 1, 1)};
    EXPECT_TRUE(exportProblems(months, choice).isEmpty());
    const QString path = dir.filePath(defaultFileName(choice));
    EXPECT_TRUE(path.endsWith("支払予定表_2026年12月-2027年01月.xlsx"));
    ASSERT_EQ(writeExport(months, choice, path), QString());

    const QJsonObject book = runPython(kReadWorkbook, {path}).object();
    EXPECT_EQ(book["sheets"].toArray(), (QJsonArray{"2026年12月", "2027年01月"}));
    const QJsonObject december = book["2026年12月"].toObject();
    const QJsonObject cells = december["cells"].toObject();
    const QJsonObject expected{
        {"A1", cell("s", "支払予定表")}, {"B1", cell("s", "2026年12月")},
        {"A2", cell("s", "繰越額")}, {"B2", cell("s", "予定額月計")}, {"C2", cell("s", "支払額月計")}, {"D2", cell("s", "予定額累計")},
        {"A3", cell("n", 100000, kAmountFormat)}, {"B3", cell("n", 50012.3456, kAmountFormat)}, {"C3", cell("n", 200001, kAmountFormat)},
        {"D3", cell("s", "900000000000000.0001")}, // beyond 15 digits: the exact text, not a rounded number
        {"A4", cell("s", "日付")}, {"B4", cell("s", "支払先名")}, {"C4", cell("s", "予定額")}, {"D4", cell("s", "支払額")}, {"E4", cell("s", "残高")},
        {"A5", cell("d", "2026-12-05T00:00:00", "yyyy/mm/dd")}, {"B5", cell("s", "北海商事, 本店")},
        {"C5", cell("n", 50000, kAmountFormat)}, {"D5", cell("n", 0, kAmountFormat)}, {"E5", cell("n", 150000, kAmountFormat)},
        {"A6", cell("d", "2026-12-10T00:00:00", "yyyy/mm/dd")}, {"B6", cell("s", "「かぎ」\"引用\"")},
        {"C6", cell("n", 12.3456, kAmountFormat)}, {"D6", cell("n", 0, kAmountFormat)}, {"E6", cell("n", 150012.3456, kAmountFormat)},
        {"A7", cell("d", "2026-12-20T00:00:00", "yyyy/mm/dd")}, {"B7", cell("s", "二行\n目")},
        {"C7", cell("n", 0, kAmountFormat)}, {"D7", cell("n", 200000, kAmountFormat)}, {"E7", cell("n", -49987.6544, kAmountFormat)},
        {"A8", cell("d", "2026-12-25T00:00:00", "yyyy/mm/dd")}, {"B8", cell("s", "髙橋")}, {"D8", cell("n", 1, kAmountFormat)},
    };
    for (auto it = expected.begin(); it != expected.end(); ++it)
        EXPECT_EQ(cells[it.key()].toArray(), it.value().toArray()) << it.key().toStdString() << " " << QJsonDocument(cells[it.key()].toArray()).toJson().constData();
    EXPECT_EQ(cells.size(), expected.size());
    EXPECT_EQ(december["freeze"].toString(), "A5");
    EXPECT_EQ(december["titles"].toString(), "$4:$4");
    EXPECT_EQ(december["paper"].toString(), "9");
    EXPECT_EQ(december["orientation"].toString(), "portrait");
    // The name column fits its longest name (two units for each wide character).
    const QJsonObject widths = december["widths"].toObject();
    EXPECT_GE(widths["B"].toDouble(), 14.0);
    EXPECT_GE(widths["A"].toDouble(), 10.0);

    const QJsonObject january = book["2027年01月"].toObject()["cells"].toObject();
    // December's last line has no balance: the balance before it is carried over.
    EXPECT_EQ(january["A3"].toArray(), cell("n", -49987.6544, kAmountFormat));
    EXPECT_EQ(january["E5"].toArray(), cell("s", "900000000000000.0001"));
}

TEST(XlsxExport, AmountsBecomeExcelNumbersOnlyWhenFifteenDigitsHoldThemExactly)
{
    using ledger::Amount;
    EXPECT_EQ(excelNumber(Amount::fromUnits(-12345)), -1.2345);
    EXPECT_EQ(excelNumber(Amount::fromUnits(Q_INT64_C(999999999999999))), 99999999999.9999);
    EXPECT_EQ(excelNumber(Amount::fromUnits(Q_INT64_C(1234567890123450000))), 123456789012345.0);
    EXPECT_FALSE(excelNumber(Amount::fromUnits(Q_INT64_C(1000000000000001))));
    EXPECT_FALSE(excelNumber(Amount::fromUnits(std::numeric_limits<qint64>::min())));
}

TEST(XlsxExport, FailedWritesLeaveTheTargetAsItWasAndNoTemporaryFile)
{
    TempDataDir dir;
    auto session = store::Session::open(dir.path());
    storeBook(session->mainDb());
    const auto months = readStoredMonths(*session, QDate(2026, 12, 1), QDate(2026, 12, 1));
    QDir folder(dir.path());
    ASSERT_TRUE(folder.mkpath("out/taken.xlsx"));
    const QStringList before = QDir(dir.filePath("out")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const ExportFormat format : {ExportFormat::Xlsx, ExportFormat::Csv}) {
        const ExportChoice choice{format, CsvEncoding::Utf8Bom, QDate(2026, 12, 1), QDate(2026, 12, 1)};
        // A folder stands where the file should go, and a folder that does not exist.
        EXPECT_NE(writeExport(months, choice, dir.filePath("out/taken.xlsx")), QString());
        EXPECT_NE(writeExport(months, choice, dir.filePath("missing/a." + formatSuffix(format))), QString());
        EXPECT_EQ(QDir(dir.filePath("out")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), before);
        EXPECT_TRUE(QFileInfo(dir.filePath("out/taken.xlsx")).isDir());
    }
    // An existing file is replaced whole.
    const QString path = dir.filePath("out/book.xlsx");
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(1 << 20, 'x'));
    old.close();
    const ExportChoice choice{ExportFormat::Xlsx, CsvEncoding::Cp932, QDate(2026, 12, 1), QDate(2026, 12, 1)};
    ASSERT_EQ(writeExport(months, choice, path), QString());
    EXPECT_TRUE(TempDataDir::readAll(path).startsWith("PK"));
    EXPECT_EQ(QDir(dir.filePath("out")).entryList(QDir::Files | QDir::Hidden), QStringList{"book.xlsx"});
}
