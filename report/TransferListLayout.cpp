#include "TransferListLayout.h"

#include "Amount.h"
#include "Holidays.h"
#include "ReportRenderer.h"

#include <algorithm>

namespace report {

namespace {

constexpr Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignVCenter;
constexpr Qt::Alignment kRight = Qt::AlignRight | Qt::AlignVCenter;

struct Column {
    const char16_t* name;
    const char16_t* heading;
    double left;
    double width;
    Qt::Alignment alignment;
};

// The columns across the 10600-twip band, left to right.
constexpr Column kColumns[] = {
    {u"txt支払先名", u"支払先名", 195, 1350, kLeft},
    {u"txt銀行", u"銀行", 1600, 1150, kLeft},
    {u"txt支店", u"支店", 2800, 1000, kLeft},
    {u"txt口座", u"口座", 3850, 1400, kLeft},
    {u"txt口座名義", u"口座名義", 5300, 1650, kLeft},
    {u"txt支払金額", u"支払金額", 7030, 930, kRight},
    {u"txt先方負担", u"先方負担", 8060, 850, kRight},
    {u"txt金額", u"振込金額", 8990, 900, kRight},
    {u"txt手数料", u"手数料", 9960, 640, kRight},
};
constexpr std::size_t kBillColumn = 5;
constexpr std::size_t kFeeColumn = 8;
constexpr double kRuleLeft = 195;
constexpr double kRuleRight = 10600;
constexpr double kListHeaderHeight = 1500;
constexpr double kHeadingsTop = 1150;
constexpr double kCellHeight = 283;

class ListBuilder {
public:
    explicit ListBuilder(ReportPage& page)
        : page_(page)
    {
    }
    void text(const QString& name, int row, const QRectF& box, const QString& text, Qt::Alignment alignment, double points = kTextPoints, bool bold = false,
        int lines = 1)
    {
        TextItem item;
        item.name = name;
        item.row = row;
        item.box = box.translated(kMarginLeft, 0);
        item.text = text;
        item.family = reportFontFamily();
        item.pointSize = points;
        item.bold = bold;
        item.alignment = alignment;
        item.lines = lines;
        page_.texts.push_back(std::move(item));
    }
    void rule(const QString& name, double y, int row, double width, bool dashed)
    {
        RuleItem item;
        item.name = name;
        item.row = row;
        item.line = QLineF(kMarginLeft + kRuleLeft, y, kMarginLeft + kRuleRight, y);
        item.width = width;
        item.dashed = dashed;
        page_.rules.push_back(std::move(item));
    }

private:
    ReportPage& page_;
};

QString dateText(const QDate& date)
{
    return date.toString(QStringLiteral("yyyy年MM月dd日")) + QStringLiteral("（%1）").arg(calendar::weekdayLetter(date));
}

void layoutListHeader(ListBuilder& builder, const TransferListHeader& header, int page, int pages)
{
    const double top = kMarginTop;
    builder.text(QStringLiteral("Label振込一覧"), -1, QRectF(195, top, 3000, 400), QStringLiteral("振込一覧"), kLeft, kTitlePoints, true);
    builder.text(QStringLiteral("txt振込指定日"), -1, QRectF(3400, top, 4200, 400), QStringLiteral("振込指定日 ") + dateText(header.date), kLeft);
    builder.text(QStringLiteral("txtページ"), -1, QRectF(8600, top, 2000, 400), QStringLiteral("%1 / %2").arg(page + 1).arg(pages), kRight);
    builder.text(QStringLiteral("txt依頼人"), -1, QRectF(195, top + 480, 10400, kCellHeight), QStringLiteral("依頼人 ") + header.sender, kLeft);
    builder.text(QStringLiteral("txtファイル"), -1, QRectF(195, top + 780, 10400, kCellHeight), QStringLiteral("ファイル ") + header.file, kLeft, 8.0);
    for (const Column& column : kColumns)
        builder.text(QStringLiteral("Label") + QString::fromUtf16(column.heading), -1, QRectF(column.left, top + kHeadingsTop, column.width, kCellHeight),
            QString::fromUtf16(column.heading), column.alignment);
    builder.rule(QStringLiteral("Line見出し"), top + kHeadingsTop - 40, -1, kHeaderRuleWidth, false);
    builder.rule(QStringLiteral("Line見出し下"), top + kHeadingsTop + kCellHeight + 40, -1, kHeaderRuleWidth, false);
}

// A line's texts, one for each column, in a band of one line's height.
std::vector<TextItem> rowTexts(const TransferListRow& line)
{
    const auto optionalYen = [](const std::optional<qint64>& yen) { return yen ? yenText(*yen) : QString(); };
    const QString values[] = {line.payee, line.bank, line.branch, line.account, line.holder, yenText(line.bill.value_or(line.yen)), optionalYen(line.deducted),
        yenText(line.yen), optionalYen(line.charged)};
    std::vector<TextItem> texts;
    for (std::size_t i = 0; i < std::size(kColumns); ++i) {
        const Column& column = kColumns[i];
        TextItem item;
        item.name = QString::fromUtf16(column.name);
        item.box = QRectF(column.left, 0, column.width, kCellHeight);
        item.text = values[i];
        item.family = reportFontFamily();
        item.pointSize = kTextPoints;
        item.alignment = column.alignment;
        texts.push_back(std::move(item));
    }
    return texts;
}

// A text a little too wide for its column is printed a step smaller (9 points for 10); one
// that would have to be smaller than that goes on two lines.
constexpr double kSmallestOnOneLine = 0.9;

bool wraps(const TextItem& item)
{
    return naturalWidth(item) * kSmallestOnOneLine > item.box.width();
}

// A line with a text that goes on two lines (a holder's name of 30 characters, a long
// payee) takes two lines' height.
bool needsTwoLines(const TransferListRow& line)
{
    const std::vector<TextItem> texts = rowTexts(line);
    return std::any_of(texts.begin(), texts.end(), wraps);
}

double bandHeight(bool twoLines)
{
    return twoLines ? 2 * kDetailHeight : kDetailHeight;
}

void layoutRow(ListBuilder& builder, double bandTop, int row, const TransferListRow& line, bool twoLines)
{
    for (TextItem& item : rowTexts(line)) {
        const double height = twoLines ? kCellHeight + kDetailHeight : kCellHeight;
        if (twoLines && wraps(item))
            item.lines = 2;
        builder.text(item.name, row, QRectF(item.box.left(), bandTop, item.box.width(), height), item.text, item.alignment, item.pointSize, item.bold, item.lines);
    }
    builder.rule(QStringLiteral("Line行"), bandTop + bandHeight(twoLines) - 10, row, kRowRuleWidth, true);
}

// The band after the last line: the count and the sums of each amount column, and below
// them what leaves the account (the transfers and the fees charged).
constexpr double kTotalHeight = 2 * kDetailHeight;

void layoutTotal(ListBuilder& builder, double bandTop, const std::vector<TransferListRow>& rows)
{
    qint64 bills = 0;
    qint64 deducted = 0;
    qint64 total = 0;
    qint64 fees = 0;
    for (const TransferListRow& row : rows) {
        bills += row.bill.value_or(row.yen);
        deducted += row.deducted.value_or(0);
        total += row.yen;
        fees += row.charged.value_or(0);
    }
    const auto at = [&](std::size_t column, double top) {
        return QRectF(kColumns[column].left, top, kColumns[column].width, kCellHeight);
    };
    const double top = bandTop + 40;
    builder.rule(QStringLiteral("Line合計"), bandTop, -1, kHeaderRuleWidth, false);
    builder.text(QStringLiteral("txt件数"), -1, QRectF(3400, top, 3500, kCellHeight), QStringLiteral("合計 %1 件").arg(rows.size()), kRight, kTextPoints, true);
    builder.text(QStringLiteral("txt支払金額合計"), -1, at(kBillColumn, top), yenText(bills), kRight, kTextPoints, true);
    builder.text(QStringLiteral("txt先方負担合計"), -1, at(kBillColumn + 1, top), yenText(deducted), kRight, kTextPoints, true);
    builder.text(QStringLiteral("txt合計"), -1, at(kBillColumn + 2, top), yenText(total), kRight, kTextPoints, true);
    builder.text(QStringLiteral("txt手数料合計"), -1, at(kFeeColumn, top), yenText(fees), kRight, kTextPoints, true);
    builder.text(QStringLiteral("txt引落予定額"), -1, QRectF(3400, top + kDetailHeight, 7200, kCellHeight),
        QStringLiteral("引落予定額（振込金額＋手数料） %1 円").arg(yenText(total + fees)), kRight, kTextPoints, true);
}

} // namespace

QString yenText(qint64 yen)
{
    const std::optional<ledger::Amount> amount = ledger::Amount::fromYen(yen);
    const QString text = amount ? amount->format() : QString::number(yen);
    return text.isEmpty() ? QStringLiteral("0") : text;
}

ReportDocument layoutTransferList(const TransferListHeader& header, const std::vector<TransferListRow>& rows)
{
    ReportDocument document;
    document.paper = QSizeF(kA4Width, kA4Height);
    document.name = QStringLiteral("振込一覧_") + header.date.toString(QStringLiteral("yyyy年MM月dd日"));
    const double top = kMarginTop + kListHeaderHeight;
    const double bottom = kA4Height - kMarginBottom;
    // The lines of each page, as many as fit; the last page keeps room for the total below
    // its lines.
    std::vector<bool> twoLines;
    std::vector<std::vector<int>> pages(1);
    double bandTop = top;
    for (std::size_t row = 0; row < rows.size(); ++row) {
        twoLines.push_back(needsTwoLines(rows[row]));
        const double height = bandHeight(twoLines.back());
        if (bandTop + height > bottom && !pages.back().empty()) {
            pages.emplace_back();
            bandTop = top;
        }
        pages.back().push_back(static_cast<int>(row));
        bandTop += height;
    }
    if (bandTop + kTotalHeight > bottom)
        pages.emplace_back();
    const int pageCount = static_cast<int>(pages.size());
    document.pages.resize(pages.size());
    for (int p = 0; p < pageCount; ++p) {
        ListBuilder builder(document.pages[static_cast<std::size_t>(p)]);
        layoutListHeader(builder, header, p, pageCount);
        bandTop = top;
        for (int row : pages[static_cast<std::size_t>(p)]) {
            const bool two = twoLines[static_cast<std::size_t>(row)];
            layoutRow(builder, bandTop, row, rows[static_cast<std::size_t>(row)], two);
            bandTop += bandHeight(two);
        }
        if (p == pageCount - 1)
            layoutTotal(builder, bandTop, rows);
    }
    return document;
}

} // namespace report
