#pragma once

#include "Amount.h"

#include <QColor>
#include <QDate>
#include <QLineF>
#include <QImage>
#include <QRectF>
#include <QString>

#include <optional>
#include <vector>

namespace report {

// One line of the print table as the report shows it.
struct PrintRow {
    QString 表示日付;
    QString 支払先名;
    std::optional<ledger::Amount> 予定額;
    std::optional<ledger::Amount> 支払額;
    std::optional<ledger::Amount> 残高;
    QDate 日付 = QDate(); // the weekday beside the day comes from it
};

// The values the print command hands to the report: the year-month caption and the four
// totals as the schedule page shows them (nothing for a blank field). The month is kept
// for naming a saved file.
struct ReportHeader {
    QDate month;
    QString caption;
    std::optional<ledger::Amount> 繰越額;
    std::optional<ledger::Amount> 予定額月計;
    std::optional<ledger::Amount> 支払額月計;
    std::optional<ledger::Amount> 予定額累計;

    // The header of a month's report: the caption is the month in Western or era years
    // (empty for an invalid month); a blank figure stays blank.
    static ReportHeader forMonth(const QDate& month, bool eraYears, std::optional<ledger::Amount> 繰越額,
        std::optional<ledger::Amount> 予定額月計, std::optional<ledger::Amount> 支払額月計, std::optional<ledger::Amount> 予定額累計);
};

// A text box; all measures are twips from the top left corner of the paper.
struct TextItem {
    QString name;  // element name, e.g. "Label1" or "txt予定額"
    int row = -1;  // index of the print row for detail items, -1 in the page header
    QRectF box;
    QString text;
    QString family;
    double pointSize = 10.0;
    bool bold = false;
    Qt::Alignment alignment = Qt::AlignLeft;
    QColor color = Qt::black;
    // A text wider than its box goes on up to this many lines (broken between words, or
    // anywhere in a word longer than the box) before it is made smaller.
    int lines = 1;
};

// A ruled line; width in twips.
struct RuleItem {
    QString name;
    int row = -1;
    QLineF line;
    QColor color = Qt::black;
    double width = 0.0;
    bool dashed = false;
};

// A picture (a chart) drawn scaled into its box.
struct PictureItem {
    QString name;
    QRectF box;
    QImage image;
};

struct ReportPage {
    std::vector<TextItem> texts;
    std::vector<RuleItem> rules;
    std::vector<PictureItem> pictures;
};

// The whole report: the paper size in twips and its pages, each complete. A paper wider
// than high is printed in landscape. The name titles the window and the saved file.
struct ReportDocument {
    QSizeF paper;
    std::vector<ReportPage> pages;
    QDate month;
    QString name = QStringLiteral("支払予定表");
};

// Paper and band measures in twips.
inline constexpr double kA4Width = 11906.0;  // 210 mm
inline constexpr double kA4Height = 16838.0; // 297 mm
inline constexpr double kMarginLeft = 653.0; // centres the 10600-twip band on the paper
inline constexpr double kMarginTop = 720.0;
inline constexpr double kMarginBottom = 720.0;
inline constexpr double kPageHeaderHeight = 1800.0;
inline constexpr double kDetailHeight = 320.0;
inline constexpr double kHeaderRuleWidth = 20.0;
inline constexpr double kRowRuleWidth = 8.0;
inline constexpr double kTextPoints = 10.0;
inline constexpr double kTitlePoints = 14.0;

// The font every text asks for; the application maps it to an installed Japanese face.
QString reportFontFamily();

// Detail bands that fit below the page header on one page.
int rowsPerPage();


// Lays the report out: every page carries the full page header, then as many 320-twip
// detail bands as fit; a report without rows is one page with its header.
ReportDocument layoutReport(const ReportHeader& header, const std::vector<PrintRow>& rows, qint64 lineColor);

} // namespace report
