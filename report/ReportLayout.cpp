#include "ReportLayout.h"

#include "AmountColor.h"
#include "DayColor.h"
#include "EraCalendar.h"
#include "LineColour.h"

#include <algorithm>
#include <cmath>

namespace report {

namespace {

enum class Ink { Black, Rule };

struct BoxSpec {
    const char16_t* name;
    double left, top, width, height;
    Qt::Alignment alignment;
    Ink ink;
};

constexpr Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignVCenter;
constexpr Qt::Alignment kRight = Qt::AlignRight | Qt::AlignVCenter;
constexpr Qt::Alignment kCentre = Qt::AlignHCenter | Qt::AlignVCenter;

// The fixed labels of the page header with their texts. Label2 ("年月") is a hidden
// label and is never drawn, so it has no entry here.
struct LabelSpec {
    BoxSpec box;
    const char16_t* text;
};

constexpr LabelSpec kLabels[] = {
    {{u"Label3", 1350, 567, 1040, 283, kLeft, Ink::Black}, u"繰越額"},
    {{u"Label4", 3060, 570, 1665, 285, kLeft, Ink::Black}, u"予定額月計"},
    {{u"Label5", 5620, 570, 1515, 285, kLeft, Ink::Black}, u"支払額月計"},
    {{u"Label6", 7900, 570, 1515, 285, kLeft, Ink::Black}, u"予定額累計"},
    {{u"Label7", 220, 1300, 470, 283, kLeft, Ink::Rule}, u"日付"},
    {{u"Label12", 689, 1300, 400, 283, kCentre, Ink::Rule}, u"曜"},
    {{u"Label8", 2079, 1300, 1984, 283, kLeft, Ink::Rule}, u"支　払　先　名"},
    {{u"Label9", 6236, 1300, 1040, 283, kLeft, Ink::Rule}, u"予定額"},
    {{u"Label10", 7843, 1300, 1039, 283, kLeft, Ink::Rule}, u"支払額"},
    {{u"Label11", 9449, 1300, 1039, 283, kLeft, Ink::Rule}, u"総    額"},
};

constexpr BoxSpec kTitle = {u"Label1", 375, 90, 1935, 375, kLeft, Ink::Rule};
constexpr BoxSpec kCaption = {u"txt年月", 3307, 94, 2079, 378, kLeft, Ink::Black};
constexpr BoxSpec k繰越額 = {u"txt繰越額", 945, 850, 1417, 284, kRight, Ink::Black};
constexpr BoxSpec k予定額月計 = {u"txt予定額月計", 3118, 850, 1512, 284, kRight, Ink::Black};
constexpr BoxSpec k支払額月計 = {u"txt支払額月計", 5669, 850, 1512, 284, kRight, Ink::Black};
constexpr BoxSpec k予定額累計 = {u"txt予定額累計", 7937, 850, 1512, 284, kRight, Ink::Black};

constexpr BoxSpec k日付 = {u"txt日付", 189, 0, 500, 300, kCentre, Ink::Black};
constexpr BoxSpec k曜日 = {u"txt曜日", 689, 0, 400, 300, kCentre, Ink::Black};
constexpr BoxSpec k支払先名 = {u"txt支払先名", 1140, 0, 4605, 300, kLeft, Ink::Black};
constexpr BoxSpec k予定額 = {u"txt予定額", 5764, 0, 1512, 283, kRight, Ink::Black};
constexpr BoxSpec k支払額 = {u"txt支払額", 7380, 0, 1511, 283, kRight, Ink::Black};
constexpr BoxSpec k残高 = {u"txt残高", 9071, 0, 1512, 283, kRight, Ink::Black};

// Every rule runs from 195 to 10600 twips across the band.
constexpr double kRuleLeft = 195;
constexpr double kRuleRight = 10600;

QString formatted(const std::optional<ledger::Amount>& amount)
{
    return amount ? amount->format() : QString();
}

class PageBuilder {
public:
    PageBuilder(ReportPage& page, const QColor& ruleColor)
        : page_(page)
        , ruleColor_(ruleColor)
    {
    }

    void text(const BoxSpec& spec, double bandTop, int row, const QString& text, double points = kTextPoints, bool bold = false)
    {
        TextItem item;
        item.name = QString::fromUtf16(spec.name);
        item.row = row;
        item.box = QRectF(kMarginLeft + spec.left, bandTop + spec.top, spec.width, spec.height);
        item.text = text;
        item.family = reportFontFamily();
        item.pointSize = points;
        item.bold = bold;
        item.alignment = spec.alignment;
        item.color = spec.ink == Ink::Rule ? ruleColor_ : QColor(Qt::black);
        page_.texts.push_back(std::move(item));
    }

    // An amount as "#,###"; a negative one in red.
    void amount(const BoxSpec& spec, double bandTop, int row, const std::optional<ledger::Amount>& value)
    {
        text(spec, bandTop, row, formatted(value));
        if (value && value->units() < 0)
            page_.texts.back().color = negativeAmountColor();
    }

    // The date's weekday (月…日); Saturdays in blue, Sundays and holidays in red.
    void weekday(const BoxSpec& spec, double bandTop, int row, const QDate& date)
    {
        text(spec, bandTop, row, calendar::weekdayLetter(date));
        if (const QColor colour = weekdayColor(date); colour.isValid())
            page_.texts.back().color = colour;
    }

    void rule(const char16_t* name, double y, int row, double width, bool dashed)
    {
        RuleItem item;
        item.name = QString::fromUtf16(name);
        item.row = row;
        item.line = QLineF(kMarginLeft + kRuleLeft, y, kMarginLeft + kRuleRight, y);
        item.color = ruleColor_;
        item.width = width;
        item.dashed = dashed;
        page_.rules.push_back(std::move(item));
    }

private:
    ReportPage& page_;
    QColor ruleColor_;
};

void layoutPageHeader(PageBuilder& builder, const ReportHeader& header)
{
    const double top = kMarginTop;
    builder.text(kTitle, top, -1, QStringLiteral("支払予定表"), kTitlePoints, true);
    builder.text(kCaption, top, -1, header.caption);
    for (const LabelSpec& label : kLabels)
        builder.text(label.box, top, -1, QString::fromUtf16(label.text));
    builder.amount(k繰越額, top, -1, header.繰越額);
    builder.amount(k予定額月計, top, -1, header.予定額月計);
    builder.amount(k支払額月計, top, -1, header.支払額月計);
    builder.amount(k予定額累計, top, -1, header.予定額累計);
    builder.rule(u"Line1", top + 1230, -1, kHeaderRuleWidth, false);
    builder.rule(u"Line2", top + 1701, -1, kHeaderRuleWidth, false);
}

void layoutDetail(PageBuilder& builder, double bandTop, int row, const PrintRow& line)
{
    builder.text(k日付, bandTop, row, line.表示日付);
    builder.weekday(k曜日, bandTop, row, line.日付);
    builder.text(k支払先名, bandTop, row, line.支払先名);
    builder.amount(k予定額, bandTop, row, line.予定額);
    builder.amount(k支払額, bandTop, row, line.支払額);
    builder.amount(k残高, bandTop, row, line.残高);
    builder.rule(u"Line3", bandTop + 310, row, kRowRuleWidth, true);
}

} // namespace

QString reportFontFamily()
{
    return QStringLiteral("ＭＳ Ｐゴシック");
}

int rowsPerPage()
{
    const double room = kA4Height - kMarginTop - kMarginBottom - kPageHeaderHeight;
    return static_cast<int>(std::floor(room / kDetailHeight));
}

ReportHeader ReportHeader::forMonth(const QDate& month, bool eraYears, std::optional<ledger::Amount> 繰越額,
    std::optional<ledger::Amount> 予定額月計, std::optional<ledger::Amount> 支払額月計, std::optional<ledger::Amount> 予定額累計)
{
    return {month, calendar::formatYearMonth(month, eraYears), 繰越額, 予定額月計, 支払額月計, 予定額累計};
}

ReportDocument layoutReport(const ReportHeader& header, const std::vector<PrintRow>& rows, qint64 lineColor)
{
    ReportDocument document;
    document.paper = QSizeF(kA4Width, kA4Height);
    document.month = header.month;
    const QColor ruleColor = colorFromLong(lineColor);
    const int perPage = rowsPerPage();
    const int count = static_cast<int>(rows.size());
    const int pageCount = count == 0 ? 1 : (count + perPage - 1) / perPage;
    document.pages.resize(static_cast<size_t>(pageCount));
    for (int p = 0; p < pageCount; ++p) {
        ReportPage& page = document.pages[static_cast<size_t>(p)];
        const int first = p * perPage;
        const int last = std::min(count, first + perPage);
        page.texts.reserve(static_cast<size_t>(16 + 6 * (last - first)));
        page.rules.reserve(static_cast<size_t>(2 + (last - first)));
        PageBuilder builder(page, ruleColor);
        layoutPageHeader(builder, header);
        for (int row = first; row < last; ++row) {
            const double bandTop = kMarginTop + kPageHeaderHeight + (row - first) * kDetailHeight;
            layoutDetail(builder, bandTop, row, rows[static_cast<size_t>(row)]);
        }
    }
    return document;
}

} // namespace report
