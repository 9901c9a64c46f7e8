#include "Overview.h"
#include "CashFlowChart.h"
#include "JapaneseFonts.h"
#include "Session.h"
#include "TempDataDir.h"

#include <QChart>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QTest>

#include <gtest/gtest.h>

using cashflow::CashFlowChartView;
using cashflow::MonthLabels;

namespace {

// The texts the chart's scene shows under the plot (the month names and the values).
QStringList sceneTexts(CashFlowChartView& view)
{
    QStringList texts;
    for (QGraphicsItem* item : view.scene()->items())
        if (auto* text = dynamic_cast<QGraphicsTextItem*>(item); text && text->isVisible())
            texts << text->toPlainText();
    return texts;
}

} // namespace

TEST(ChartLabels, MonthNamesGoAcrossThenUprightThenEveryFewMonths)
{
    fonts::installJapaneseFonts();
    QFont font(fonts::proportionalFamily());
    font.setPointSize(8);
    const QStringList texts = {"26/11", "12", "27/1", "2", "3"};
    EXPECT_EQ(cashflow::planMonthLabels(texts, font, 80), (MonthLabels{1, false}));
    const QFontMetricsF metrics(font);
    const qreal widest = metrics.horizontalAdvance("26/11");
    EXPECT_EQ(cashflow::planMonthLabels(texts, font, widest), (MonthLabels{1, true})) << "no room for a gap";
    EXPECT_EQ(cashflow::planMonthLabels(texts, font, metrics.height() + metrics.averageCharWidth()), (MonthLabels{1, true}));
    const MonthLabels sparse = cashflow::planMonthLabels(texts, font, metrics.height() / 3);
    EXPECT_TRUE(sparse.upright);
    EXPECT_GE(sparse.step, 3);
    EXPECT_LE(sparse.step, 5);
}

TEST(ChartLabels, MonthNamesAreWrittenWholeWithoutOverlapAtEveryWidth)
{
    fonts::installJapaneseFonts();
    TempDataDir dir;
    auto session = store::Session::open(dir.path());
    for (const int months : {12, 36}) {
        const ledger::Overview overview = ledger::readOverview(session->mainDb(), QDate(2026, 11, 1), months);
        const QStringList texts = cashflow::monthLabelTexts(overview);
        CashFlowChartView view;
        view.setOverview(overview);
        for (const int width : {1000, 600, 420, 300, 220}) {
            view.resize(width, 280);
            view.show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
            QCoreApplication::processEvents();
            const auto boxes = view.monthLabelBoxes();
            ASSERT_FALSE(boxes.isEmpty()) << months << " months, " << width << " px";
            EXPECT_EQ(boxes.front().first, "26/11") << "the first month carries its year";
            for (qsizetype i = 0; i < boxes.size(); ++i) {
                EXPECT_TRUE(texts.contains(boxes[i].first)) << boxes[i].first.toStdString();
                EXPECT_TRUE(QRectF(view.rect()).contains(boxes[i].second)) << months << " months, " << width << " px: " << boxes[i].first.toStdString();
                if (i > 0) {
                    EXPECT_LT(boxes[i - 1].second.right(), boxes[i].second.left()) << months << " months, " << width << " px: " << boxes[i].first.toStdString();
                }
            }
            // Every month is named while there is room; on a narrow chart every few months.
            const MonthLabels labels = view.monthLabels();
            EXPECT_EQ(boxes.size(), (months + labels.step - 1) / labels.step);
            if (width >= 1000 && months == 12) {
                EXPECT_EQ(labels, (MonthLabels{1, false}));
            }
            if (width <= 300 && months == 36) {
                EXPECT_GT(labels.step, 1);
            }
            // Nothing the chart writes itself is cut short.
            for (const QString& text : sceneTexts(view)) {
                EXPECT_FALSE(text.contains("...") || text.contains(u'…')) << width << " px: " << text.toStdString();
            }
        }
    }
}
