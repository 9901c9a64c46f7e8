#include "ExportTestSupport.h"

#include "Overview.h"
#include "OverviewExport.h"
#include "Session.h"
#include "TempDataDir.h"
#include "TextCodec.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonObject>

#include <gtest/gtest.h>

using namespace exchange;
using namespace exporttest;

namespace {

// December 2025 to February 2026: December goes below zero on the 10th, January holds no
// line, February pays a fraction of a yen.
ledger::Overview storedOverview(store::Session& session)
{
    storeLine(session.mainDb(), "2025-11-28", 1, "前月", yen(30000), 0, yen(30000));
    storeLine(session.mainDb(), "2025-12-10", 1, "家賃", 0, yen(80000), yen(-50000));
    storeLine(session.mainDb(), "2025-12-20", 2, "入金", yen(100000), 0, yen(50000));
    storeLine(session.mainDb(), "2026-02-05", 1, "電気", 0, 12345, yen(50000) - 12345);
    return ledger::readOverview(session.mainDb(), QDate(2025, 12, 15), 3);
}

QJsonArray number(double value)
{
    return QJsonArray{"n", value, "#,##0;[Red]-#,##0"};
}

QJsonArray text(const QString& value)
{
    return QJsonArray{"s", value, "General"};
}

QJsonArray date(const QString& isoDay)
{
    return QJsonArray{"d", isoDay + "T00:00:00", "yyyy/mm/dd"};
}

} // namespace

TEST(OverviewExport, WorkbookHoldsTheMonthsAsNumbersAndDatesUnderEraLabels)
{
    TempDataDir dir;
    auto session = store::Session::open(dir.path());
    const ledger::Overview overview = storedOverview(*session);
    const ExportChoice choice = overviewChoice(overview, ExportFormat::Xlsx, CsvEncoding::Cp932);
    EXPECT_EQ(overviewFileName(choice), "資金繰り表_2025年12月-2026年02月.xlsx");
    const QString path = dir.filePath(overviewFileName(choice));
    ASSERT_EQ(writeOverviewExport(overview, true, choice, path), QString());

    const QJsonObject read = runPython(kReadWorkbook, {path}).object();
    EXPECT_EQ(read["sheets"].toArray(), QJsonArray{"資金繰り表"});
    const QJsonObject book = read["資金繰り表"].toObject();
    EXPECT_EQ(book["freeze"].toString(), "A4");
    EXPECT_EQ(book["titles"].toString(), "$3:$3");
    EXPECT_EQ(book["paper"].toString(), "9");
    EXPECT_EQ(book["orientation"].toString(), "landscape");
    const QJsonObject expected{
        {"A1", text("資金繰り表")}, {"B1", text("令和 07年12月～令和 08年02月")},
        {"A3", text("年月")}, {"B3", text("繰越額")}, {"C3", text("予定額計")}, {"D3", text("支払額計")},
        {"E3", text("月末残高")}, {"F3", text("最低残高")}, {"G3", text("最低日")},
        {"A4", text("令和 07年12月")}, {"B4", number(30000)}, {"C4", number(100000)}, {"D4", number(80000)},
        {"E4", number(50000)}, {"F4", number(-50000)}, {"G4", date("2025-12-10")},
        {"A5", text("令和 08年01月")}, {"B5", number(50000)}, {"C5", number(0)}, {"D5", number(0)},
        {"E5", number(50000)}, {"F5", number(50000)}, {"G5", date("2026-01-01")},
        {"A6", text("令和 08年02月")}, {"B6", number(50000)}, {"C6", number(0)}, {"D6", number(1.2345)},
        {"E6", number(49998.7655)}, {"F6", number(49998.7655)}, {"G6", date("2026-02-05")},
    };
    const QJsonObject cells = book["cells"].toObject();
    for (auto it = expected.begin(); it != expected.end(); ++it)
        EXPECT_EQ(cells[it.key()], it.value()) << it.key().toStdString();
    EXPECT_EQ(cells.size(), expected.size());
}

TEST(OverviewExport, CsvBytesInBothEncodingsWithPlainNegativeAmounts)
{
    TempDataDir dir;
    auto session = store::Session::open(dir.path());
    const ledger::Overview overview = storedOverview(*session);
    const QString western = QStringLiteral("年月,繰越額,予定額計,支払額計,月末残高,最低残高,最低日\r\n"
                                           "2025年12月,30000,100000,80000,50000,-50000,2025/12/10\r\n"
                                           "2026年01月,50000,0,0,50000,50000,2026/01/01\r\n"
                                           "2026年02月,50000,0,1.2345,49998.7655,49998.7655,2026/02/05\r\n");
    EXPECT_EQ(overviewCsvText(overview, false), western);

    const QString utf8Path = dir.filePath("utf8.csv");
    ASSERT_EQ(writeOverviewExport(overview, false, overviewChoice(overview, ExportFormat::Csv, CsvEncoding::Utf8Bom), utf8Path), QString());
    EXPECT_EQ(TempDataDir::readAll(utf8Path), utf8Bom() + western.toUtf8());
    const QString sjisPath = dir.filePath("sjis.csv");
    ASSERT_EQ(writeOverviewExport(overview, true, overviewChoice(overview, ExportFormat::Csv, CsvEncoding::Cp932), sjisPath), QString());
    const QByteArray sjis = TempDataDir::readAll(sjisPath);
    EXPECT_TRUE(sjis.contains(*cp932::encode("\r\n令和 08年02月,50000,0,1.2345,49998.7655,49998.7655,2026/02/05\r\n")));

    // A file that cannot be written leaves nothing behind and says so.
    const QString missing = dir.filePath("なし/資金繰り表.xlsx");
    EXPECT_NE(writeOverviewExport(overview, false, overviewChoice(overview, ExportFormat::Xlsx, CsvEncoding::Cp932), missing), QString());
    EXPECT_FALSE(QDir(dir.filePath("なし")).exists());
}
