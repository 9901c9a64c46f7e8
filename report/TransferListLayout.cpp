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
    {u"txt支払先名", u"支払先名", 195, 2350, kLeft},
    {u"txt銀行", u"銀行", 2600, 1700, kLeft},
    {u"txt支店", u"支店", 4350, 1500, kLeft},
    {u"txt口座", u"口座", 5900, 1250, kLeft},
    {u"txt口座名義", u"口座名義", 7350, 1750, kLeft},
    {u"txt金額", u"金額", 9150, 1450, kRight},
};
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
    const QString values[] = {line.payee, line.bank, line.branch, line.account, line.holder, yenText(line.yen)};
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

void layoutTotal(ListBuilder& builder, double bandTop, const std::vector<TransferListRow>& rows)
{
    qint64 total = 0;
    for (const TransferListRow& row : rows)
        total += row.yen;
    builder.rule(QStringLiteral("Line合計"), bandTop, -1, kHeaderRuleWidth, false);
    builder.text(QStringLiteral("txt件数"), -1, QRectF(5900, bandTop + 40, 3200, kCellHeight), QStringLiteral("合計 %1 件").arg(rows.size()), kRight, kTextPoints, true);
    builder.text(QStringLiteral("txt合計"), -1, QRectF(9150, bandTop + 40, 1450, kCellHeight), yenText(total), kRight, kTextPoints, true);
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
    if (bandTop + kDetailHeight > bottom)
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
