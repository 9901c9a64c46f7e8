#include "AmountColor.h"
#include "LineColour.h"
#include "ReportLayout.h"
#include "ReportTestSupport.h"

#include <gtest/gtest.h>

#include <set>

using namespace report;

namespace {

ReportHeader novemberHeader()
{
    ReportHeader header;
    header.month = QDate(2005, 11, 1);
    header.caption = QStringLiteral("2005年11月");
    header.繰越額 = yen(1234567);
    header.予定額月計 = yen(0);
    header.支払額月計 = yen(-1234);
    header.予定額累計 = std::nullopt;
    return header;
}

// The items of a page that belong to its page header.
ReportPage headerPart(const ReportPage& page)
{
    ReportPage header;
    for (const auto& t : page.texts)
        if (t.row < 0)
            header.texts.push_back(t);
    for (const auto& r : page.rules)
        if (r.row < 0)
            header.rules.push_back(r);
    return header;
}

struct Expected {
    const char* name;
    double left, top, width, height;
    const char* text;
    Qt::Alignment horizontal;
};

} // namespace

TEST(ReportLayout, MonthWithoutLinesIsOnePageWithTheWholeHeaderInPlace)
{
    const ReportDocument doc = layoutReport(novemberHeader(), {}, 0);
    ASSERT_EQ(doc.pages.size(), 1u);
    EXPECT_EQ(doc.paper, QSizeF(11906, 16838));
    const ReportPage& page = doc.pages[0];

    // Band positions on the paper are the header's own plus the page margins.
    const Expected header[] = {
        {"Label1", 375, 90, 1935, 375, "支払予定表", Qt::AlignLeft},
        {"txt年月", 3307, 94, 2079, 378, "2005年11月", Qt::AlignLeft},
        {"Label3", 1350, 567, 1040, 283, "繰越額", Qt::AlignLeft},
        {"Label4", 3060, 570, 1665, 285, "予定額月計", Qt::AlignLeft},
        {"Label5", 5620, 570, 1515, 285, "支払額月計", Qt::AlignLeft},
        {"Label6", 7900, 570, 1515, 285, "予定額累計", Qt::AlignLeft},
        {"txt繰越額", 945, 850, 1417, 284, "1,234,567", Qt::AlignRight},
        {"txt予定額月計", 3118, 850, 1512, 284, "", Qt::AlignRight},
        {"txt支払額月計", 5669, 850, 1512, 284, "-1,234", Qt::AlignRight},
        {"txt予定額累計", 7937, 850, 1512, 284, "", Qt::AlignRight},
        {"Label7", 220, 1300, 470, 283, "日付", Qt::AlignLeft},
        {"Label12", 689, 1300, 400, 283, "曜", Qt::AlignHCenter},
        {"Label8", 2079, 1300, 1984, 283, "支　払　先　名", Qt::AlignLeft},
        {"Label9", 6236, 1300, 1040, 283, "予定額", Qt::AlignLeft},
        {"Label10", 7843, 1300, 1039, 283, "支払額", Qt::AlignLeft},
        {"Label11", 9449, 1300, 1039, 283, "総    額", Qt::AlignLeft},
    };
    EXPECT_EQ(page.texts.size(), std::size(header));
    for (const Expected& e : header) {
        SCOPED_TRACE(e.name);
        const TextItem* item = findText(page, QString::fromUtf8(e.name));
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->box, QRectF(kMarginLeft + e.left, kMarginTop + e.top, e.width, e.height));
        EXPECT_EQ(item->text, QString::fromUtf8(e.text));
        EXPECT_EQ(item->alignment & Qt::AlignHorizontal_Mask, e.horizontal);
        EXPECT_EQ(item->family, QStringLiteral("ＭＳ Ｐゴシック"));
        EXPECT_EQ(item->bold, item->name == "Label1");
    }
    EXPECT_EQ(findText(page, "Label2"), nullptr);
    EXPECT_GT(findText(page, "Label1")->pointSize, findText(page, "Label3")->pointSize);
    std::set<double> sizes;
    for (const auto& item : page.texts)
        if (item.name != "Label1")
            sizes.insert(item.pointSize);
    EXPECT_EQ(sizes.size(), 1u);

    ASSERT_EQ(page.rules.size(), 2u);
    const RuleItem* line1 = findRule(page, "Line1");
    const RuleItem* line2 = findRule(page, "Line2");
    ASSERT_TRUE(line1 && line2);
    EXPECT_EQ(line1->line, QLineF(kMarginLeft + 195, kMarginTop + 1230, kMarginLeft + 10600, kMarginTop + 1230));
    EXPECT_EQ(line2->line, QLineF(kMarginLeft + 195, kMarginTop + 1701, kMarginLeft + 10600, kMarginTop + 1701));
    EXPECT_EQ(line1->width, line2->width);
    EXPECT_FALSE(line1->dashed);
    // Everything stays on the paper.
    for (const auto& item : page.texts)
        EXPECT_TRUE(QRectF(QPointF(0, 0), doc.paper).contains(item.box)) << item.name.toStdString();
}

TEST(ReportLayout, TwoHundredLinesRunOverPagesThatEachCarryTheFullHeader)
{
    std::vector<PrintRow> rows;
    for (int i = 0; i < 200; ++i)
        rows.push_back({QStringLiteral("%1").arg(i % 30 + 1, 2, 10, QLatin1Char('0')), QStringLiteral("支払先%1").arg(i), yen(i + 1), yen(0), yen(1000 - i)});
    const ReportDocument doc = layoutReport(novemberHeader(), rows, 0);

    const int perPage = rowsPerPage();
    EXPECT_GE(perPage, 30);
    ASSERT_EQ(doc.pages.size(), static_cast<size_t>((200 + perPage - 1) / perPage));
    ASSERT_GT(doc.pages.size(), 1u);
    const QStringList firstHeader = describe({doc.paper, {headerPart(doc.pages[0])}, {}});
    ASSERT_EQ(firstHeader.size(), 16 + 2);

    int next = 0;
    for (size_t p = 0; p < doc.pages.size(); ++p) {
        SCOPED_TRACE(p);
        const ReportPage& page = doc.pages[p];
        // The page header is the same on every page.
        EXPECT_EQ(describe({doc.paper, {headerPart(page)}, {}}), firstHeader);

        // Detail bands follow the header band, 320 twips apart, in print order, inside the page.
        double expectedTop = kMarginTop + kPageHeaderHeight;
        for (const auto& t : page.texts) {
            if (t.name != "txt支払先名")
                continue;
            EXPECT_EQ(t.row, next);
            EXPECT_EQ(t.text, QStringLiteral("支払先%1").arg(next));
            EXPECT_EQ(t.box.top(), expectedTop);
            EXPECT_LE(t.box.top() + kDetailHeight, kA4Height - kMarginBottom);
            const RuleItem* line3 = findRule(page, "Line3", t.row);
            ASSERT_NE(line3, nullptr);
            EXPECT_EQ(line3->line.y1(), expectedTop + 310);
            const RuleItem* line1 = findRule(page, "Line1");
            EXPECT_TRUE(line3->dashed != line1->dashed || line3->width != line1->width);
            expectedTop += kDetailHeight;
            ++next;
        }
    }
    EXPECT_EQ(next, 200);
    const TextItem* last = findText(doc.pages.back(), "txt残高", 199);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->text, "801");
}

TEST(ReportLayout, DetailAmountsUseTheNumberFormatWithBlankZeroAndNull)
{
    const std::vector<PrintRow> rows = {
        {"05", "ゼロ商店", yen(0), yen(0), yen(0)},
        {"06", "マイナス", std::nullopt, yen(1234), yen(-1234)},
        {"", "日付なし", ledger::Amount::fromUnits(12345678901), ledger::Amount::fromUnits(5000), ledger::Amount::fromUnits(-4999)},
    };
    const ReportDocument doc = layoutReport(novemberHeader(), rows, 0);
    const ReportPage& page = doc.pages.at(0);
    auto text = [&](const char* name, int row) {
        const TextItem* item = findText(page, QString::fromUtf8(name), row);
        return item ? item->text : QStringLiteral("<missing>");
    };
    EXPECT_EQ(text("txt日付", 0), "05");
    EXPECT_EQ(text("txt予定額", 0), "");
    EXPECT_EQ(text("txt支払額", 0), "");
    EXPECT_EQ(text("txt残高", 0), "");
    EXPECT_EQ(text("txt予定額", 1), "");
    EXPECT_EQ(text("txt支払額", 1), "1,234");
    EXPECT_EQ(text("txt残高", 1), "-1,234");
    EXPECT_EQ(text("txt日付", 2), "");
    EXPECT_EQ(text("txt支払先名", 2), "日付なし");
    // A fraction of a yen from an older file is printed as it is stored, never rounded.
    EXPECT_EQ(text("txt予定額", 2), "1,234,567.8901");
    EXPECT_EQ(text("txt支払額", 2), "0.5");
    EXPECT_EQ(text("txt残高", 2), "-0.4999");
    // Negative amounts are printed in red, the others in black.
    EXPECT_EQ(findText(page, "txt残高", 1)->color, negativeAmountColor());
    EXPECT_EQ(findText(page, "txt支払額", 1)->color, QColor(Qt::black));
    EXPECT_EQ(findText(page, "txt予定額", 2)->color, QColor(Qt::black));
    EXPECT_EQ(findText(page, "txt日付", 0)->alignment & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(findText(page, "txt支払先名", 0)->alignment & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    EXPECT_EQ(findText(page, "txt残高", 0)->box, QRectF(kMarginLeft + 9071, kMarginTop + kPageHeaderHeight, 1512, 283));
}

TEST(ReportLayout, RuledLineColourGoesToRulesTitleAndColumnHeadingsOnly)
{
    EXPECT_EQ(colorFromLong(255), QColor(255, 0, 0));
    EXPECT_EQ(colorFromLong(0xFF8040), QColor(0x40, 0x80, 0xFF));
    EXPECT_EQ(colorFromLong(16777215), QColor(Qt::white));
    EXPECT_EQ(colorFromLong(0), QColor(Qt::black));
    EXPECT_EQ(colorFromLong(-1), QColor(Qt::black));
    EXPECT_EQ(colorFromLong(0x80000005), QColor(Qt::black));

    const std::vector<PrintRow> rows = {{"01", "赤線", yen(1), yen(1), yen(0)}};
    const std::set<QString> ruled = {"Label1", "Label7", "Label12", "Label8", "Label9", "Label10", "Label11"};
    for (const qint64 colour : {qint64(0x0000FF), qint64(0)}) {
        SCOPED_TRACE(colour);
        const QColor ink = colorFromLong(colour);
        const ReportDocument doc = layoutReport(novemberHeader(), rows, colour);
        const ReportPage& page = doc.pages.at(0);
        ASSERT_EQ(page.rules.size(), 3u);
        for (const auto& rule : page.rules)
            EXPECT_EQ(rule.color, ink) << rule.name.toStdString();
        // The header's negative 支払額月計 is red whatever the ruled-line colour.
        for (const auto& item : page.texts) {
            const QColor expected = ruled.count(item.name) ? ink : item.name == "txt支払額月計" ? negativeAmountColor() : QColor(Qt::black);
            EXPECT_EQ(item.color, expected) << item.name.toStdString();
        }
    }
}

TEST(ReportLayout, EachLineWithADateShowsItsWeekdayBesideTheDayInTheSheetsColours)
{
    std::vector<PrintRow> rows = {{"08", "金曜", yen(1), yen(0), yen(1)}, {"09", "土曜", yen(1), yen(0), yen(2)},
        {"06", "振替休日", yen(1), yen(0), yen(3)}, {"", "日付なし", yen(1), yen(0), yen(4)}};
    rows[0].日付 = QDate(2026, 5, 8);
    rows[1].日付 = QDate(2026, 5, 9);
    rows[2].日付 = QDate(2026, 5, 6);
    const ReportDocument doc = layoutReport(novemberHeader(), rows, 0x0000FF);
    const ReportPage& page = doc.pages.at(0);
    QStringList weekdays;
    for (int row = 0; row < 4; ++row) {
        const TextItem* item = findText(page, "txt曜日", row);
        ASSERT_NE(item, nullptr) << row;
        weekdays << item->text;
    }
    EXPECT_EQ(weekdays.join('|'), "金|土|水|");
    EXPECT_EQ(findText(page, "txt曜日", 0)->color, QColor(Qt::black));
    EXPECT_EQ(findText(page, "txt曜日", 1)->color, QColor(0x20, 0x50, 0xC8));
    EXPECT_EQ(findText(page, "txt曜日", 2)->color, QColor(0xD0, 0x20, 0x20));
    // It stands between the day and the payee without touching either.
    const QRectF day = findText(page, "txt日付", 0)->box;
    const QRectF weekday = findText(page, "txt曜日", 0)->box;
    const QRectF payee = findText(page, "txt支払先名", 0)->box;
    EXPECT_LE(day.right(), weekday.left());
    EXPECT_LE(weekday.right(), payee.left());
    EXPECT_EQ(weekday.top(), day.top());
}
