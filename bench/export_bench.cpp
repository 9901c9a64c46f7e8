// Writing 36 stored months of a 100,000-line book to an Excel workbook, beside
// libxlsxwriter writing the same cells from prepared values in a bare loop; prints the
// ratio of the two.
#include "BareSqlite.h"
#include "ExportFile.h"
#include "RatioReporter.h"
#include "Session.h"
#include "Sql.h"
#include "TempDataDir.h"
#include "Transaction.h"

#include <QApplication>

#include <xlsxwriter.h>

#include <SQLiteCpp/Database.h>

#include <array>
#include <memory>
#include <string>

namespace {

constexpr int kLines = 100000;
constexpr int kMonths = 36;

TempDataDir& bookDir()
{
    static TempDataDir dir;
    static bool filled = false;
    if (!filled) {
        auto session = store::Session::open(dir.path());
        store::Transaction transaction(session->mainDb());
        const QDate first(2024, 1, 1);
        for (int i = 0; i < kLines; ++i) {
            const QDate date = first.addMonths(i * kMonths / kLines).addDays(i % 28);
            store::exec(session->mainDb(), bare::lines("INSERT INTO %1 VALUES (?, ?, ?, ?, ?, ?)").c_str(),
                {date.toString(Qt::ISODate), i % 200 + 1, QStringLiteral("株式会社 取引先%1号").arg(i % 500), qint64(10000 + i % 997) * 10000, qint64(i % 3 ? 0 : 5000) * 10000,
                    qint64(1000000 - i) * 10000 + 1234});
        }
        transaction.commit();
        filled = true;
    }
    return dir;
}

const QDate kFrom(2024, 1, 1);
const QDate kTo(2026, 12, 1);

void BM_ExportXlsx(benchmark::State& state)
{
    TempDataDir& dir = bookDir();
    auto session = store::Session::open(dir.path());
    const exchange::ExportChoice choice{exchange::ExportFormat::Xlsx, exchange::CsvEncoding::Cp932, kFrom, kTo};
    for (auto _ : state) {
        const auto months = exchange::readStoredMonths(*session, kFrom, kTo);
        if (!exchange::writeExport(months, choice, dir.filePath("ours.xlsx")).isEmpty())
            state.SkipWithError("export failed");
    }
}

// The same sheets and cells, from values prepared before the loop.
struct BareSheet {
    std::string name;
    std::string caption;
    double figures[4];
    std::vector<lxw_datetime> dates;
    std::vector<std::string> names;
    std::vector<std::array<double, 3>> amounts;
};

std::vector<BareSheet> bareSheets()
{
    auto session = store::Session::open(bookDir().path());
    std::vector<BareSheet> sheets;
    for (const auto& month : exchange::readStoredMonths(*session, kFrom, kTo)) {
        BareSheet sheet{exchange::monthName(month.month).toStdString(), month.caption.toStdString(), {}, {}, {}, {}};
        for (const auto& line : month.lines) {
            sheet.dates.push_back({line.日付.year(), line.日付.month(), line.日付.day(), 0, 0, 0.0});
            sheet.names.push_back(line.支払先名.toStdString());
            sheet.amounts.push_back({line.予定額->units() / 1e4, line.支払額->units() / 1e4, line.残高->units() / 1e4});
        }
        sheets.push_back(std::move(sheet));
    }
    return sheets;
}

void BM_BareLibxlsxwriter(benchmark::State& state)
{
    const std::vector<BareSheet> sheets = bareSheets();
    const std::string path = bookDir().filePath("bare.xlsx").toStdString();
    const char* labels[] = {"繰越額", "予定額月計", "支払額月計", "予定額累計"};
    const char* headings[] = {"日付", "支払先名", "予定額", "支払額", "残高"};
    for (auto _ : state) {
        lxw_workbook_options options = {};
        options.constant_memory = LXW_TRUE;
        lxw_workbook* book = workbook_new_opt(path.c_str(), &options);
        lxw_format* bold = workbook_add_format(book);
        format_set_bold(bold);
        lxw_format* date = workbook_add_format(book);
        format_set_num_format(date, "yyyy/mm/dd");
        lxw_format* amount = workbook_add_format(book);
        format_set_num_format(amount, "#,##0;[Red]-#,##0");
        for (const BareSheet& sheet : sheets) {
            lxw_worksheet* ws = workbook_add_worksheet(book, sheet.name.c_str());
            worksheet_write_string(ws, 0, 0, "支払予定表", bold);
            worksheet_write_string(ws, 0, 1, sheet.caption.c_str(), bold);
            for (int i = 0; i < 4; ++i)
                worksheet_write_string(ws, 1, static_cast<lxw_col_t>(i), labels[i], bold);
            for (int i = 0; i < 4; ++i)
                worksheet_write_number(ws, 2, static_cast<lxw_col_t>(i), sheet.figures[i], amount);
            for (int i = 0; i < 5; ++i)
                worksheet_write_string(ws, 3, static_cast<lxw_col_t>(i), headings[i], bold);
            for (size_t r = 0; r < sheet.names.size(); ++r) {
                const auto row = static_cast<lxw_row_t>(r + 4);
                lxw_datetime when = sheet.dates[r];
                worksheet_write_datetime(ws, row, 0, &when, date);
                worksheet_write_string(ws, row, 1, sheet.names[r].c_str(), nullptr);
                for (int c = 0; c < 3; ++c)
                    worksheet_write_number(ws, row, static_cast<lxw_col_t>(c + 2), sheet.amounts[r][c], amount);
            }
            worksheet_set_column(ws, 0, 4, 14, nullptr);
            worksheet_freeze_panes(ws, 4, 0);
            worksheet_repeat_rows(ws, 3, 3);
            worksheet_set_paper(ws, 9);
            worksheet_fit_to_pages(ws, 1, 0);
        }
        if (workbook_close(book) != LXW_NO_ERROR)
            state.SkipWithError("bare write failed");
    }
}

} // namespace

BENCHMARK(BM_ExportXlsx)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_BareLibxlsxwriter)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatio("36 months of a 100,000-line book to .xlsx", "BM_ExportXlsx", "BM_BareLibxlsxwriter", 1.5);
    benchmark::Shutdown();
    return 0;
}
