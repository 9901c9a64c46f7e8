// Laying out and rendering a month of 200 lines to PDF, beside a bare QPainter loop that
// draws the same texts and rules to a PDF; prints the ratio of the two.
#include "RatioReporter.h"
#include "ReportLayout.h"
#include "ReportRenderer.h"
#include "Startup.h"

#include <QApplication>
#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

namespace {

report::ReportHeader header()
{
    auto yen = [](qint64 v) { return ledger::Amount::fromUnits(v * ledger::Amount::kScale); };
    return {QDate(2005, 11, 1), QStringLiteral("2005年11月"), yen(1234567), yen(987654), yen(876543), yen(-1234)};
}

std::vector<report::PrintRow> rows()
{
    std::vector<report::PrintRow> out;
    for (int i = 0; i < 200; ++i) {
        auto amount = [](qint64 v) { return ledger::Amount::fromUnits(v * ledger::Amount::kScale); };
        out.push_back({QStringLiteral("%1").arg(i % 30 + 1, 2, 10, QLatin1Char('0')), QStringLiteral("株式会社 取引先%1号").arg(i + 1), amount(10000 + i * 37), amount(i % 3 ? 0 : 5000), amount(1000000 - i * 1234)});
    }
    return out;
}

void BM_ReportLayoutAndPdf(benchmark::State& state)
{
    const auto header_ = header();
    const auto rows_ = rows();
    for (auto _ : state) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        const report::ReportDocument document = report::layoutReport(header_, rows_, 255);
        if (!report::renderDocument(writer, document))
            state.SkipWithError("render failed");
        benchmark::DoNotOptimize(buffer.size());
    }
}

// The same texts and rules, drawn straight from prepared lists with two fonts.
void BM_BarePainterPdf(benchmark::State& state)
{
    const report::ReportDocument document = report::layoutReport(header(), rows(), 255);
    for (auto _ : state) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
        QPainter painter(&writer);
        const double scale = writer.logicalDpiX() / 1440.0;
        QFont regular(report::reportFontFamily());
        regular.setPixelSize(200);
        QFont title = regular;
        title.setPixelSize(280);
        title.setBold(true);
        for (size_t p = 0; p < document.pages.size(); ++p) {
            if (p > 0)
                writer.newPage();
            painter.save();
            painter.scale(scale, scale);
            for (const auto& rule : document.pages[p].rules) {
                painter.setPen(QPen(rule.color, rule.width));
                painter.drawLine(rule.line);
            }
            for (const auto& text : document.pages[p].texts) {
                painter.setFont(text.bold ? title : regular);
                painter.setPen(text.color);
                painter.drawText(text.box, static_cast<int>(text.alignment), text.text);
            }
            painter.restore();
        }
        painter.end();
        benchmark::DoNotOptimize(buffer.size());
    }
}

BENCHMARK(BM_ReportLayoutAndPdf)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_BarePainterPdf)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    prepareApplication();
    RatioReporter reporter;
    if (!runBenchmarks(argc, argv, reporter, [] {}))
        return 1;
    reporter.printRatio("report layout + PDF / bare QPainter PDF", "BM_ReportLayoutAndPdf", "BM_BarePainterPdf", 2.0);
    benchmark::Shutdown();
    return 0;
}
