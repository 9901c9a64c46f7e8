#include "HintStore.h"
#include "PayeeList.h"
#include "PayeeTable.h"
#include "PrintCommand.h"
#include "ReportLayout.h"
#include "ReportRenderer.h"
#include "Schema.h"
#include "Session.h"
#include "Sql.h"
#include "Startup.h"
#include "HostileTexts.h"
#include "TempDataDir.h"
#include "WorkTableModel.h"

#include <QBuffer>
#include <QPdfWriter>

#include <SQLiteCpp/Database.h>

#include <gtest/gtest.h>

using namespace store;

TEST(HostileText, PayeeNamesAreStoredReadBackShownAndPrintedExactly)
{
    TempDataDir dir;
    auto session = Session::open(dir.path());
    // The NUL and the 100000 characters are refused; blanks around a name are not kept.
    QStringList names;
    int tried = 0;
    for (const QString& name : hostileTexts()) {
        const bool refused = name.contains(QChar(0)) || name.size() > 100;
        EXPECT_EQ(payees::Add支払先(*session, name), !refused) << tried;
        EXPECT_FALSE(payees::Add支払先(*session, name)) << "registered twice: " << tried;
        if (!refused)
            names << name.trimmed();
        ++tried;
    }
    std::printf("[ hostile text ] %d payee names, %lld kept\n", tried, static_cast<long long>(names.size()));
    EXPECT_EQ(scalar(session->mainDb(), "SELECT count(*) FROM 支払先マスタ").toLongLong(), names.size());
    // Every table the schema makes is still there.
    SQLite::Database fresh(":memory:", SQLite::OPEN_READWRITE);
    fresh.exec(store::schemaSql(store::DataFile::Main).toStdString());
    EXPECT_EQ(scalar(session->mainDb(), "SELECT count(*) FROM sqlite_master WHERE type = 'table'").toLongLong(),
        scalar(fresh, "SELECT count(*) FROM sqlite_master WHERE type = 'table'").toLongLong());

    // The payee page's round trip: load, register, and the master holds the same texts.
    ledger::PayeeTable master(*session);
    master.readIntoCopy();
    master.enterCopy();
    QStringList stored;
    for (const Row& row : queryRows(session->mainDb(), "SELECT 支払先名 FROM 支払先マスタ"))
        stored << row.at(0).toString();
    QStringList expected = names;
    stored.sort();
    expected.sort();
    EXPECT_EQ(stored, expected);

    // The drop-down list and a grid show them as they are.
    payees::AddComb支払先名(*session);
    WorkTableModel list;
    list.bind(&session->workDb(), "w支払先名");
    list.refresh();
    QStringList shown;
    for (int r = 0; r < list.rowCount(); ++r)
        shown << list.data(list.index(r, 0)).toString();
    shown.sort();
    EXPECT_EQ(shown, expected);

    // Printed: the sheet's lines carry the names into the report and a PDF is made.
    for (int i = 0; i < names.size(); ++i)
        exec(session->workDb(), "INSERT INTO InpWork (行番号, 元行番号, 表示日付, 支払先名, 予定額) VALUES (?, ?, '01', ?, ?)", {i + 1, i + 1, names.at(i), qlonglong(10000) * (i + 1)});
    const auto rows = report::collectPrintRows(session->workDb());
    ASSERT_EQ(rows.size(), static_cast<size_t>(names.size()));
    for (int i = 0; i < names.size(); ++i)
        EXPECT_EQ(rows[static_cast<size_t>(i)].支払先名, names.at(i));
    const report::ReportDocument document = report::layoutReport(report::ReportHeader{}, rows, 0);
    QStringList printed;
    for (const auto& page : document.pages)
        for (const auto& item : page.texts)
            if (item.name == "txt支払先名")
                printed << item.text;
    EXPECT_EQ(printed, names);
    prepareApplication();
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    QPdfWriter writer(&pdf);
    EXPECT_TRUE(report::renderDocument(writer, document));
    EXPECT_GT(pdf.size(), 1000);
}

TEST(HostileText, HintTextsAreKeptByteForByte)
{
    TempDataDir dir;
    auto session = Session::open(dir.path());
    hints::HintStore hints(session->workDb());
    QStringList texts = hostileTexts();
    texts << "一行目\r\n二行目\n\n三行目\r" << "";
    for (const QString& text : texts) {
        ASSERT_TRUE(hints.write("FrmQuorel1", "cmdHint", "題 'x'", text));
        const auto read = hints.read("FrmQuorel1", "cmdHint");
        ASSERT_TRUE(read.has_value());
        EXPECT_EQ(read->toUtf8(), text.toUtf8());
    }
    EXPECT_EQ(scalar(session->workDb(), "SELECT count(*) FROM ClHint").toLongLong(), 1);
    // Keys are matched exactly, hostile ones too.
    const QString key = "'; DELETE FROM ClHint; --";
    ASSERT_TRUE(hints.write(key, key, key, "k"));
    EXPECT_EQ(hints.read(key, key).value_or(QString()), "k");
    EXPECT_EQ(scalar(session->workDb(), "SELECT count(*) FROM ClHint").toLongLong(), 2);
}
