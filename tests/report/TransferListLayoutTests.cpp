#include "ReportRenderer.h"
#include "TransferListLayout.h"

#include <gtest/gtest.h>

using namespace report;

namespace {

QStringList texts(const ReportPage& page, const QString& name)
{
    QStringList found;
    for (const TextItem& item : page.texts) {
        if (item.name == name)
            found << item.text;
    }
    return found;
}

} // namespace

TEST(TransferList, ALineATransferAndTheCountAndTotalAfterTheLastOnPagesOfA4)
{
    const TransferListHeader header{QDate(2027, 3, 25), QStringLiteral("ﾄﾊﾞ-ｸ"), QStringLiteral("/tmp/振込_20270325.txt")};
    std::vector<TransferListRow> rows;
    for (int i = 0; i < 100; ++i)
        rows.push_back({QStringLiteral("支払先%1").arg(i), QStringLiteral("0001 ﾐｽﾞﾎ"), QStringLiteral("001 ﾎﾝﾃﾝ"), QStringLiteral("普通 1234567"), QStringLiteral("ﾀﾅｶ"), 1000 + i});
    const ReportDocument document = layoutTransferList(header, rows);
    EXPECT_EQ(document.name, QStringLiteral("振込一覧_2027年03月25日"));
    EXPECT_EQ(document.paper, QSizeF(kA4Width, kA4Height));
    ASSERT_GE(document.pages.size(), 2u);
    int listed = 0;
    for (std::size_t p = 0; p < document.pages.size(); ++p) {
        const ReportPage& page = document.pages[p];
        EXPECT_EQ(texts(page, QStringLiteral("txt振込指定日")), QStringList({QStringLiteral("振込指定日 2027年03月25日（木）")}));
        EXPECT_EQ(texts(page, QStringLiteral("txt依頼人")), QStringList({QStringLiteral("依頼人 ﾄﾊﾞ-ｸ")}));
        EXPECT_EQ(texts(page, QStringLiteral("txtページ")), QStringList({QStringLiteral("%1 / %2").arg(p + 1).arg(document.pages.size())}));
        const QStringList amounts = texts(page, QStringLiteral("txt金額"));
        for (const QString& amount : amounts)
            EXPECT_EQ(amount, QStringLiteral("1,%1").arg(listed++, 3, 10, QLatin1Char('0')));
        for (const TextItem& item : page.texts)
            EXPECT_LE(item.box.bottom(), kA4Height - kMarginBottom) << item.name.toStdString() << " leaves the page";
        EXPECT_EQ(texts(page, QStringLiteral("txt合計")).size(), p + 1 == document.pages.size() ? 1 : 0);
    }
    EXPECT_EQ(listed, 100);
    EXPECT_EQ(texts(document.pages.back(), QStringLiteral("txt件数")), QStringList({QStringLiteral("合計 100 件")}));
    EXPECT_EQ(texts(document.pages.back(), QStringLiteral("txt合計")), QStringList({QStringLiteral("104,950")}));

    const ReportDocument empty = layoutTransferList(header, {});
    ASSERT_EQ(empty.pages.size(), 1u);
    EXPECT_EQ(texts(empty.pages[0], QStringLiteral("txt合計")), QStringList({QStringLiteral("0")}));
}

TEST(TransferList, AHoldersNameOfThirtyCharactersGoesOnTwoLinesAtTheListsSize)
{
    const TransferListHeader header{QDate(2027, 3, 25), QStringLiteral("ﾄﾊﾞ-ｸ"), QStringLiteral("/tmp/振込_20270325.txt")};
    // 30 half-width characters, the longest holder the banks take, with and without a blank.
    const QString longHolder = QStringLiteral("ｶ)ﾄｳｷﾖｳﾃﾞﾝﾘﾖｸﾊﾟﾜｰｸﾞﾘﾂﾄﾞﾎｰﾙﾃﾞｨﾝｸﾞｽ").left(30);
    const QString blanked = QStringLiteral("ﾀﾞｲﾆﾎﾝｲﾝｻﾂ ｼﾔ ﾀﾞｲﾋﾖｳﾄﾘｼﾏﾘﾔｸ ﾔﾏﾀﾞﾀﾛｳ").left(30);
    ASSERT_EQ(longHolder.size(), 30);
    ASSERT_EQ(blanked.size(), 30);
    std::vector<TransferListRow> rows;
    for (int i = 0; i < 60; ++i)
        rows.push_back({QStringLiteral("支払先%1").arg(i), QStringLiteral("0001 ﾐｽﾞﾎ"), QStringLiteral("001 ﾎﾝﾃﾝ"), QStringLiteral("普通 1234567"),
            i % 3 == 0 ? QStringLiteral("ﾀﾅｶ") : i % 3 == 1 ? longHolder : blanked, 1000});
    const ReportDocument document = layoutTransferList(header, rows);

    double previousBottom = 0;
    int previousPage = -1;
    int listed = 0;
    for (std::size_t p = 0; p < document.pages.size(); ++p) {
        for (const TextItem& item : document.pages[p].texts) {
            EXPECT_LE(item.box.bottom(), kA4Height - kMarginBottom) << item.name.toStdString() << " leaves the page";
            if (item.name != QStringLiteral("txt口座名義"))
                continue;
            const bool isLong = item.text.size() == 30;
            // At the list's own size, on two lines of a band twice as high; a short name
            // keeps one line.
            EXPECT_EQ(fittedFont(item).pixelSize(), static_cast<int>(kTextPoints * 20)) << item.text.toStdString();
            EXPECT_EQ(item.lines, isLong ? 2 : 1) << item.text.toStdString();
            EXPECT_GE(item.box.height(), isLong ? 2 * kDetailHeight - 40 : kDetailHeight - 40);
            // Each line stands below the one before it.
            if (static_cast<int>(p) == previousPage) {
                EXPECT_GE(item.box.top(), previousBottom - 1) << item.row;
            }
            previousBottom = item.box.bottom();
            previousPage = static_cast<int>(p);
            ++listed;
        }
    }
    EXPECT_EQ(listed, 60);
    EXPECT_EQ(texts(document.pages.back(), QStringLiteral("txt件数")), QStringList({QStringLiteral("合計 60 件")}));
}

TEST(TransferList, EachLineShowsTheBillTheFeesAndTheAmountSentAndTheTotalsWhatLeavesTheAccount)
{
    const TransferListHeader header{QDate(2027, 3, 25), QStringLiteral("ﾄﾊﾞ-ｸ"), QStringLiteral("/tmp/振込_20270325.txt")};
    const QString bank = QStringLiteral("0005 ﾐﾂﾋﾞｼ");
    std::vector<TransferListRow> rows = {
        {QStringLiteral("鈴木"), bank, QStringLiteral("001 ﾎﾝﾃﾝ"), QStringLiteral("普通 1"), QStringLiteral("ｽｽﾞｷ"), 29450, 30000, 550, 330},
        {QStringLiteral("高橋"), bank, QStringLiteral("001 ﾎﾝﾃﾝ"), QStringLiteral("普通 2"), QStringLiteral("ﾀｶﾊｼ"), 30000, 30000, std::nullopt, 550},
        {QStringLiteral("田中"), bank, QStringLiteral("001 ﾎﾝﾃﾝ"), QStringLiteral("普通 3"), QStringLiteral("ﾀﾅｶ"), 700},
    };
    const ReportDocument document = layoutTransferList(header, rows);
    ASSERT_EQ(document.pages.size(), 1u);
    const ReportPage& page = document.pages[0];
    EXPECT_EQ(texts(page, QStringLiteral("txt支払金額")), QStringList({"30,000", "30,000", "700"}));
    EXPECT_EQ(texts(page, QStringLiteral("txt先方負担")), QStringList({"550", "", ""}));
    EXPECT_EQ(texts(page, QStringLiteral("txt金額")), QStringList({"29,450", "30,000", "700"}));
    EXPECT_EQ(texts(page, QStringLiteral("txt手数料")), QStringList({"330", "550", ""}));
    EXPECT_EQ(texts(page, QStringLiteral("txt支払金額合計")), QStringList({"60,700"}));
    EXPECT_EQ(texts(page, QStringLiteral("txt先方負担合計")), QStringList({"550"}));
    EXPECT_EQ(texts(page, QStringLiteral("txt合計")), QStringList({"60,150"}));
    EXPECT_EQ(texts(page, QStringLiteral("txt手数料合計")), QStringList({"880"}));
    EXPECT_EQ(texts(page, QStringLiteral("txt引落予定額")), QStringList({QStringLiteral("引落予定額（振込金額＋手数料） 61,030 円")}));
    // Every column keeps inside the band of the page.
    for (const TextItem& item : page.texts)
        EXPECT_LE(item.box.right(), kMarginLeft + 10600 + 1) << item.name.toStdString();
}
