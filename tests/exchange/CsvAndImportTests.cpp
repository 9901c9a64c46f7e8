#include "ExportTestSupport.h"

#include "ExportFile.h"
#include "HostileTexts.h"
#include "PayeeImport.h"
#include "Session.h"
#include "SmallDisk.h"
#include "TempDataDir.h"
#include "TextCodec.h"

#include <QBuffer>
#include <QFile>
#include <QJsonArray>
#include <QRegularExpression>

#include <unicode/ucnv.h>

#include <gtest/gtest.h>

using namespace exchange;
using namespace exporttest;

namespace {

// Decodes with ICU's own converter call, apart from the program's codec.
QString decodeWithIcu(const QByteArray& bytes, const char* encoding)
{
    QString text(bytes.size() + 1, Qt::Uninitialized);
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = ucnv_convert("UTF-16LE", encoding, reinterpret_cast<char*>(text.data()), static_cast<int32_t>(text.size() * 2), bytes.constData(),
        static_cast<int32_t>(bytes.size()), &status);
    EXPECT_TRUE(U_SUCCESS(status)) << u_errorName(status);
    text.truncate(length / 2);
    return text;
}

// Python's csv module reads the file in the given encoding; prints its records.
const char* const kReadCsv = R"PY(
import csv, json, sys
with open(sys.argv[1], newline="", encoding=sys.argv[2]) as f:
    print(json.dumps(list(csv.reader(f))))
)PY";

PayeeList readBytes(QByteArray bytes, bool csv, TextEncoding encoding)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return readPayeeList(buffer, csv, encoding);
}

QList<int> refusedLines(const PayeeList& list)
{
    QList<int> lines;
    for (const RefusedLine& refused : list.refused)
        lines << refused.line;
    return lines;
}

QJsonArray record(const QStringList& fields)
{
    return QJsonArray::fromStringList(fields);
}

std::vector<MonthData> storeAndRead(store::Session& session, const QStringList& names)
{
    // A carry-over below zero keeps the balances negative.
    store::exec(session.mainDb(), "INSERT OR REPLACE INTO 繰越額 (年月, 繰越額) VALUES ('2026-12-01', ?)", {yen(-10000)});
    int line = 0;
    for (const QString& name : names) {
        ++line;
        storeLine(session.mainDb(), "2026-12-07", line, name, yen(1000) + line, -line, yen(-5));
    }
    return readStoredMonths(session, QDate(2026, 12, 1), QDate(2026, 12, 31));
}

} // namespace

TEST(CsvExport, ReadsBackExactlyInBothEncodingsWithCommasQuotesAndLineBreaks)
{
    TempDataDir dir;
    auto session = store::Session::open(dir.path());
    const QStringList names = {"北海商事, 本店", "「かぎ」\"引用\"", "二行\r\n目", "髙橋①～", " 前に空白"};
    const auto months = storeAndRead(*session, names);
    const QString expected = QStringLiteral("日付,支払先名,予定額,支払額,残高\r\n"
                                            "2026/12/07,\"北海商事, 本店\",1000.0001,-0.0001,-8999.9998\r\n"
                                            "2026/12/07,\"「かぎ」\"\"引用\"\"\",1000.0002,-0.0002,-7999.9994\r\n"
                                            "2026/12/07,\"二行\r\n目\",1000.0003,-0.0003,-6999.9988\r\n"
                                            "2026/12/07,髙橋①～,1000.0004,-0.0004,-5999.998\r\n"
                                            "2026/12/07,\" 前に空白\",1000.0005,-0.0005,-4999.997\r\n");
    const QJsonArray records = {record({"日付", "支払先名", "予定額", "支払額", "残高"}), record({"2026/12/07", names[0], "1000.0001", "-0.0001", "-8999.9998"}),
        record({"2026/12/07", names[1], "1000.0002", "-0.0002", "-7999.9994"}), record({"2026/12/07", names[2], "1000.0003", "-0.0003", "-6999.9988"}),
        record({"2026/12/07", names[3], "1000.0004", "-0.0004", "-5999.998"}), record({"2026/12/07", names[4], "1000.0005", "-0.0005", "-4999.997"})};

    for (const CsvEncoding encoding : {CsvEncoding::Cp932, CsvEncoding::Utf8Bom}) {
        const bool sjis = encoding == CsvEncoding::Cp932;
        const ExportChoice choice{ExportFormat::Csv, encoding, QDate(2026, 12, 1), QDate(2026, 12, 1)};
        EXPECT_TRUE(exportProblems(months, choice).isEmpty());
        const QString path = dir.filePath(defaultFileName(choice));
        EXPECT_TRUE(path.endsWith("支払予定表_2026年12月.csv"));
        ASSERT_EQ(writeExport(months, choice, path), QString());
        const QByteArray bytes = TempDataDir::readAll(path);
        EXPECT_EQ(bytes.startsWith("\xEF\xBB\xBF"), !sjis);
        EXPECT_EQ(decodeWithIcu(sjis ? bytes : bytes.mid(3), sjis ? "windows-31j" : "UTF-8"), expected);
        EXPECT_EQ(runPython(kReadCsv, {path, sjis ? "cp932" : "utf-8-sig"}).array(), records);
    }
}

TEST(CsvExport, OnAFullDiskEveryExportFailsAndLeavesNoFile)
{
    SmallDisk disk(64);
    if (!disk.available())
        GTEST_SKIP() << "no permission to mount a small file system";
    TempDataDir dir;
    auto session = store::Session::open(dir.path());
    const auto months = storeAndRead(*session, {"北海商事", "東京電力"});
    disk.fill();
    const ExportChoice choices[] = {
        {ExportFormat::Csv, CsvEncoding::Cp932, QDate(2026, 12, 1), QDate(2026, 12, 1)},
        {ExportFormat::Csv, CsvEncoding::Utf8Bom, QDate(2026, 12, 1), QDate(2026, 12, 1)},
        {ExportFormat::Xlsx, CsvEncoding::Cp932, QDate(2026, 12, 1), QDate(2026, 12, 1)},
    };
    for (const ExportChoice& choice : choices) {
        const QString path = disk.filePath(defaultFileName(choice));
        EXPECT_FALSE(writeExport(months, choice, path).isEmpty()) << path.toStdString();
        EXPECT_FALSE(QFile::exists(path));
    }
    EXPECT_EQ(disk.entries(), QStringList{"filler"});
}

TEST(CsvExport, CharactersOutsideCp932AreNamedWithTheirLinesAndUtf8HoldsThem)
{
    TempDataDir dir;
    auto session = store::Session::open(dir.path());
    const QStringList names = {"𠮷野家", "寿司🍣🍣", "ẞ", "髙島屋"};
    const auto months = storeAndRead(*session, names);
    const ExportChoice sjis{ExportFormat::Csv, CsvEncoding::Cp932, QDate(2026, 12, 1), QDate(2026, 12, 1)};
    EXPECT_EQ(exportProblems(months, sjis),
        (QStringList{"2026/12/07 「𠮷野家」: 𠮷", "2026/12/07 「寿司🍣🍣」: 🍣", "2026/12/07 「ẞ」: ẞ"}));
    EXPECT_FALSE(encodeCsv(csvText(months), CsvEncoding::Cp932));
    // A CP932 file is refused rather than written with stand-ins.
    EXPECT_NE(writeExport(months, sjis, dir.filePath("a.csv")), QString());
    EXPECT_FALSE(QFile::exists(dir.filePath("a.csv")));

    const ExportChoice utf8{ExportFormat::Csv, CsvEncoding::Utf8Bom, QDate(2026, 12, 1), QDate(2026, 12, 1)};
    EXPECT_TRUE(exportProblems(months, utf8).isEmpty());
    ASSERT_EQ(writeExport(months, utf8, dir.filePath("b.csv")), QString());
    const QJsonArray read = runPython(kReadCsv, {dir.filePath("b.csv"), "utf-8-sig"}).array();
    ASSERT_EQ(read.size(), 5);
    for (int i = 0; i < names.size(); ++i)
        EXPECT_EQ(read[i + 1].toArray()[1].toString(), names[i]);
}

TEST(CsvExport, JisFormsTypedOnLinuxGoOutInShiftJisAsExcelShowsThemAndComeBackOnImport)
{
    TempDataDir dir;
    auto session = store::Session::open(dir.path());
    const QStringList names = {"東西〜南北", "−500円", "A‖B", "C—D", "¢£¬"};
    const QStringList windowsForms = {"東西～南北", "－500円", "A∥B", "C―D", "￠￡￢"};
    const auto months = storeAndRead(*session, names);
    const ExportChoice sjis{ExportFormat::Csv, CsvEncoding::Cp932, QDate(2026, 12, 1), QDate(2026, 12, 1)};
    EXPECT_TRUE(exportProblems(months, sjis).isEmpty());
    EXPECT_EQ(cp932::unmappable(names.join(QString())), QString());
    ASSERT_EQ(writeExport(months, sjis, dir.filePath("sjis.csv")), QString());
    const QJsonArray read = runPython(kReadCsv, {dir.filePath("sjis.csv"), "cp932"}).array();
    ASSERT_EQ(read.size(), names.size() + 1);
    for (int i = 0; i < names.size(); ++i)
        EXPECT_EQ(read[i + 1].toArray()[1].toString(), windowsForms[i]);
    // Both forms have the same bytes; reading them gives the JIS forms again.
    const QByteArray bytes = *cp932::encode(names.join('\n'));
    EXPECT_EQ(bytes, *cp932::encode(windowsForms.join('\n')));
    EXPECT_EQ(decodeWithIcu(bytes, "windows-31j"), windowsForms.join('\n'));
    const auto importNames = [](QByteArray list, TextEncoding encoding) {
        QBuffer buffer(&list);
        buffer.open(QIODevice::ReadOnly);
        return readPayeeList(buffer, false, encoding).names;
    };
    EXPECT_EQ(importNames(bytes, TextEncoding::Cp932), names);
    EXPECT_EQ(importNames(bytes, TextEncoding::Detect), names);
    // UTF-8 holds either form as it is.
    EXPECT_EQ(importNames((names + windowsForms).join('\n').toUtf8(), TextEncoding::Utf8), names + windowsForms);
}

TEST(PayeeImport, EncodingIsDetectedOrChosenAndUnreadableLinesAreNamedByTheirOwnLines)
{
    const QString text = QStringLiteral("北海商事\r\n髙橋\r\n");
    const QStringList names = {"北海商事", "髙橋"};
    const QByteArray sjis = *cp932::encode(text);
    for (const QByteArray& bytes : {text.toUtf8(), utf8Bom() + text.toUtf8(), sjis}) {
        const PayeeList list = readBytes(bytes, false, TextEncoding::Detect);
        EXPECT_EQ(list.names, names);
        EXPECT_TRUE(list.refused.isEmpty());
        EXPECT_EQ(list.encodingName, bytes == sjis ? "Shift_JIS" : "UTF-8");
    }
    EXPECT_EQ(readBytes(sjis, false, TextEncoding::Cp932).names, names);
    const PayeeList wrong = readBytes(sjis, false, TextEncoding::Utf8);
    EXPECT_TRUE(wrong.names.isEmpty());
    EXPECT_EQ(refusedLines(wrong), (QList<int>{1, 2}));
    EXPECT_EQ(wrong.refused[0].reason, "UTF-8 として読めません");
    // 0x85 0x40 lies in an unassigned CP932 row: that line is named, the others read.
    const PayeeList broken = readBytes(sjis + "\x85\x40\r\nabc\r\n", false, TextEncoding::Cp932);
    EXPECT_EQ(broken.names, (QStringList{"北海商事", "髙橋", "abc"}));
    EXPECT_EQ(refusedLines(broken), QList<int>{3});
    EXPECT_EQ(broken.refused[0].reason, "Shift_JIS として読めません");
    // A UTF-8 list with one broken line, read without naming its encoding, with CR, LF and
    // CRLF line ends: the broken line is told as UTF-8, at its own line.
    const PayeeList mostly = readBytes(QByteArray("\xE7\x94\xB2\r\xE4\xB9\x99\n\xE3\x81\r\n\xE4\xB8\x99\n"), false, TextEncoding::Detect);
    EXPECT_EQ(mostly.encodingName, "UTF-8");
    EXPECT_EQ(mostly.names, (QStringList{"甲", "乙", "丙"}));
    EXPECT_EQ(refusedLines(mostly), QList<int>{3});
}

TEST(PayeeImport, LongLinesAndNamesAndControlCharactersAreRefusedByLineWithoutReadingThemWhole)
{
    // A line past the limit, quoted or not, is refused as soon as the reading passes the
    // limit, and its bytes are not kept; the lines after it are read.
    QByteArray bytes = "支払先名,メモ\r\n甲,1\r\n" + QByteArray(10 * 1024 * 1024, 'x') + "\r\n乙\r\n\"" + QByteArray(5000, 'q') + "\r\n丙\r\n";
    bytes += QString(101, QChar(u'長')).toUtf8() + "\r\n" + QString(100, QChar(u'長')).toUtf8() + "\r\nA\x01" "B\r\n  　丁　  \r\n";
    int steps = 0;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const PayeeList list = readPayeeList(buffer, true, TextEncoding::Detect, [&](qint64 done, qint64 total) {
        ++steps;
        EXPECT_LE(done, total);
        return true;
    });
    EXPECT_EQ(list.names, (QStringList{"甲", "乙", "丙", QString(100, QChar(u'長')), "丁"}));
    EXPECT_EQ(refusedLines(list), (QList<int>{3, 5, 7, 9}));
    EXPECT_EQ(list.refused[0].reason, "4,096 バイトを超える行です");
    EXPECT_EQ(list.refused[1].reason, "4,096 バイトを超える行です");
    EXPECT_EQ(list.refused[2].reason, "101 文字あります。支払先名は 100 文字までです");
    EXPECT_EQ(list.refused[3].reason, "使えない制御文字があります：2 文字目（U+0001）");
    // Read a block at a time: many steps, never all at once.
    EXPECT_GT(steps, 10 * 1024 * 1024 / (64 * 1024));

    // Stopped halfway: nothing is kept.
    buffer.seek(0);
    const PayeeList stopped = readPayeeList(buffer, true, TextEncoding::Utf8, [](qint64 done, qint64 total) { return done < total / 2; });
    EXPECT_TRUE(stopped.cancelled);
}

TEST(PayeeImport, ListsAreReadAsCsvOrLinesAndOnlyNewNamesAreAddedAllOrNothing)
{
    // A quoted name may hold a line break, but a name with one is refused.
    EXPECT_EQ(namesFromText("日付,支払先名,予定額\r\n2026/12/01,\"A, B\",1\r\n,,\r\n2026/12/02,\"C\"\"\r\nD\",2\r\n2026/12/03,E,3\r\n", true),
        (QStringList{"A, B", "E"}));
    EXPECT_EQ(namesFromText("\"X,1\",ignored\nY\n\n", true), (QStringList{"X,1", "Y"}));
    EXPECT_EQ(namesFromText("甲\r\n\r\n  \n 乙 \r丙,丁", false), (QStringList{"甲", "乙", "丙,丁"}));

    TempDataDir dir;
    auto session = store::Session::open(dir.path());
    store::exec(session->mainDb(), "INSERT INTO 支払先マスタ VALUES ('甲')");
    const ImportPlan plan = planImport(*session, {"乙", "甲", "丙", "乙", "甲"});
    EXPECT_EQ(plan.toAdd, (QStringList{"乙", "丙"}));
    EXPECT_EQ(plan.alreadyThere, QStringList{"甲"});
    EXPECT_EQ(plan.repeats, 2);

    // One name that the file refuses: nothing of the list is added.
    store::exec(session->mainDb(), "CREATE TRIGGER refuse BEFORE INSERT ON 支払先マスタ WHEN NEW.支払先名 = '丙' BEGIN SELECT RAISE(ABORT, 'refused'); END");
    EXPECT_THROW(addPayees(*session, plan.toAdd), store::DbError);
    EXPECT_EQ(store::scalar(session->mainDb(), "SELECT count(*) FROM 支払先マスタ").toInt(), 1);
    store::exec(session->mainDb(), "DROP TRIGGER refuse");
    addPayees(*session, plan.toAdd);
    // The new names follow the ones there, in binary order (the order the index grows best in).
    EXPECT_EQ(store::scalar(session->mainDb(), "SELECT group_concat(支払先名, '|') FROM (SELECT 支払先名 FROM 支払先マスタ ORDER BY rowid)").toString(), "甲|丙|乙");
}

TEST(PayeeImport, HostileNamesSurviveExportAndImportOrAreReported)
{
    TempDataDir dir;
    auto session = store::Session::open(dir.path());
    const QStringList names = hostileTexts();
    const auto months = storeAndRead(*session, names);

    // The workbook names what a cell cannot hold: the NUL and the 100000 characters.
    const ExportChoice xlsx{ExportFormat::Xlsx, CsvEncoding::Cp932, QDate(2026, 12, 1), QDate(2026, 12, 1)};
    const QStringList refused = exportProblems(months, xlsx);
    ASSERT_EQ(refused.size(), 2);
    EXPECT_TRUE(refused[0].contains("NUL"));
    EXPECT_TRUE(refused[1].contains("100000"));
    // The others come back from the workbook exactly.
    QStringList held = names;
    held.removeAt(7);
    held.removeAt(6);
    TempDataDir other;
    auto otherSession = store::Session::open(other.path());
    const QString book = other.filePath("hostile.xlsx");
    ASSERT_EQ(writeExport(storeAndRead(*otherSession, held), xlsx, book), QString());
    const QJsonArray cells = runPython("import json, sys, openpyxl\n"
                                       "ws = openpyxl.load_workbook(sys.argv[1]).active\n"
                                       "print(json.dumps([r[0] for r in ws.iter_rows(min_row=5, min_col=2, max_col=2, values_only=True)]))",
        {book}).array();
    EXPECT_EQ(cells, QJsonArray::fromStringList(held));
    // CP932 names the emoji and right-to-left lines.
    const ExportChoice sjis{ExportFormat::Csv, CsvEncoding::Cp932, QDate(2026, 12, 1), QDate(2026, 12, 1)};
    EXPECT_GE(exportProblems(months, sjis).size(), 3);

    // Through UTF-8 CSV every name comes back exactly.
    const ExportChoice utf8{ExportFormat::Csv, CsvEncoding::Utf8Bom, QDate(2026, 12, 1), QDate(2026, 12, 1)};
    const QString path = dir.filePath("hostile.csv");
    ASSERT_EQ(writeExport(months, utf8, path), QString());
    // Read back, the NUL and the 100000 characters are refused by their lines (the header
    // is line 1) and the name with blanks around it comes back without them.
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const PayeeList read = readPayeeList(file, true, TextEncoding::Detect);
    EXPECT_EQ(refusedLines(read), (QList<int>{8, 9}));
    QStringList kept = held;
    kept.replace(6, "前後に空白");
    EXPECT_EQ(read.names, kept);
    addPayees(*session, planImport(*session, read.names).toAdd);
    QStringList stored;
    for (const store::Row& row : store::queryRows(session->mainDb(), "SELECT 支払先名 FROM 支払先マスタ ORDER BY rowid"))
        stored << row.at(0).toString();
    stored.sort();
    kept.sort();
    EXPECT_EQ(stored, kept);
}

TEST(CsvExport, TextASpreadsheetWouldRunAsAFormulaIsGuardedAmountsStayNumbersAndImportTakesTheGuardOff)
{
    const QList<std::pair<QString, QString>> fields = {
        {"=HYPERLINK(\"http://x\",\"y\")", "\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\""},
        {"+81 3", "'+81 3"}, {"-株式会社", "'-株式会社"}, {"@SUM(A1)", "'@SUM(A1)"}, {"\tタブ", "'\tタブ"}, {"\r改行", "\"'\r改行\""},
        {"'=済", "''=済"}, {"''-済", "'''-済"}, {"'80s", "'80s"}, {"a=b", "a=b"}, {"北海商事", "北海商事"}, {"", ""},
    };
    QStringList names;
    for (const auto& [name, field] : fields) {
        EXPECT_EQ(csvTextField(name), field) << name.toStdString();
        if (!name.isEmpty())
            names << name;
    }

    TempDataDir dir;
    auto session = store::Session::open(dir.path());
    const auto months = storeAndRead(*session, names);
    const QString csv = csvText(months);
    // Only the text fields carry the guard: negative amounts stay plain numbers.
    EXPECT_TRUE(csv.contains("\r\n2026/12/07,'+81 3,1000.0002,-0.0002,-7999.9994\r\n")) << csv.toStdString();
    EXPECT_TRUE(csv.contains("\r\n2026/12/07,'-株式会社,1000.0003,-0.0003,-6999.9988\r\n"));
    // What the export guarded comes back from an import as it was stored, but for the
    // tab and the line break at the start: white space around a name is not kept.
    QStringList imported = names;
    imported.replaceInStrings(QRegularExpression("^[\t\r]"), QString());
    EXPECT_EQ(namesFromText(csv, true), imported);
    EXPECT_EQ(namesFromText("'=済\r\n", false), QStringList{"'=済"}) << "a text file is not a CSV export";
}
