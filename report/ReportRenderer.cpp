#include "ReportRenderer.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPrinter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace report {

namespace {

constexpr double kTwipsPerPoint = 20.0;
constexpr double kSmallestScale = 0.6;
// Dashes of the row rule, in multiples of its width.
const QList<qreal> kRowDashes = {3.0, 3.0};

QFont baseFont(const TextItem& item)
{
    QFont font(item.family);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setBold(item.bold);
    font.setPixelSize(static_cast<int>(std::lround(item.pointSize * kTwipsPerPoint)));
    return font;
}

// The text broken into lines of the box's width (between words, or anywhere in a word
// longer than the box), each line placed below the one before from the top.
void layOutLines(QTextLayout& layout, const TextItem& item)
{
    QTextOption option(item.alignment & Qt::AlignHorizontal_Mask);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    double height = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(item.box.width());
        line.setPosition(QPointF(0, height));
        height += line.height();
    }
    layout.endLayout();
}

int linesNeeded(const QFont& font, const TextItem& item)
{
    QTextLayout layout(item.text, font);
    layOutLines(layout, item);
    return layout.lineCount();
}

// The base font made smaller when the text is wider than its box. No glyph of these
// faces is wider than one em, so a text whose length in ems fits needs no measuring.
QFont fitted(QFont font, const QFontMetricsF& metrics, const TextItem& item)
{
    const int size = font.pixelSize();
    if (item.text.isEmpty() || static_cast<double>(item.text.size()) * size <= item.box.width())
        return font;
    const double advance = metrics.horizontalAdvance(item.text);
    if (advance <= item.box.width())
        return font;
    const int smallest = static_cast<int>(std::ceil(size * kSmallestScale));
    if (item.lines > 1) {
        // Smaller a twentieth at a time until the text takes no more than its lines.
        for (int pixels = size; pixels > smallest; pixels -= std::max(1, size / 20)) {
            font.setPixelSize(pixels);
            if (linesNeeded(font, item) <= item.lines)
                return font;
        }
        font.setPixelSize(smallest);
        return font;
    }
    const int fitting = static_cast<int>(std::floor(size * item.box.width() / advance));
    font.setPixelSize(std::max(smallest, fitting));
    return font;
}

// A text of more lines, its lines centred in the box from top to bottom.
void drawLines(QPainter& painter, const QFont& font, const TextItem& item)
{
    QTextLayout layout(item.text, font);
    layOutLines(layout, item);
    double height = 0;
    for (int i = 0; i < layout.lineCount(); ++i)
        height += layout.lineAt(i).height();
    layout.draw(&painter, QPointF(item.box.left(), item.box.top() + std::max(0.0, (item.box.height() - height) / 2)));
}

// Fonts and metrics of the few sizes a page uses, made once per page.
class FontCache {
public:
    const std::pair<QFont, QFontMetricsF>& get(const TextItem& item)
    {
        for (const auto& entry : entries_)
            if (entry.family == item.family && entry.pointSize == item.pointSize && entry.bold == item.bold)
                return entry.font;
        QFont font = baseFont(item);
        entries_.push_back({item.family, item.pointSize, item.bold, {font, QFontMetricsF(font)}});
        return entries_.back().font;
    }

private:
    struct Entry {
        QString family;
        double pointSize;
        bool bold;
        std::pair<QFont, QFontMetricsF> font;
    };
    std::vector<Entry> entries_;
};

} // namespace

QFont fittedFont(const TextItem& item)
{
    const QFont font = baseFont(item);
    return fitted(font, QFontMetricsF(font), item);
}

double naturalWidth(const TextItem& item)
{
    return QFontMetricsF(baseFont(item)).horizontalAdvance(item.text);
}

void paintPage(QPainter& painter, const ReportPage& page, double unitsPerTwipX, double unitsPerTwipY)
{
    painter.save();
    painter.scale(unitsPerTwipX, unitsPerTwipY);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    for (const RuleItem& rule : page.rules) {
        QPen pen(rule.color, rule.width);
        pen.setCapStyle(Qt::FlatCap);
        if (rule.dashed)
            pen.setDashPattern(kRowDashes);
        painter.setPen(pen);
        painter.drawLine(rule.line);
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    for (const PictureItem& picture : page.pictures) {
        if (!picture.image.isNull())
            painter.drawImage(picture.box, picture.image);
    }
    FontCache fonts;
    for (const TextItem& text : page.texts) {
        if (text.text.isEmpty())
            continue;
        const auto& [font, metrics] = fonts.get(text);
        const QFont shown = fitted(font, metrics, text);
        painter.setFont(shown);
        painter.setPen(text.color);
        if (text.lines > 1 && metrics.horizontalAdvance(text.text) > text.box.width())
            drawLines(painter, shown, text);
        else
            painter.drawText(text.box, static_cast<int>(text.alignment) | Qt::TextSingleLine, text.text);
    }
    painter.restore();
}

QPageLayout::Orientation orientationOf(const ReportDocument& document)
{
    return document.paper.width() > document.paper.height() ? QPageLayout::Landscape : QPageLayout::Portrait;
}

bool renderDocument(QPagedPaintDevice& device, const ReportDocument& document)
{
    // The layout measures everything from the paper's corner, so the device gets no
    // margins of its own; a printer is told to paint on the full sheet.
    if (auto* printer = dynamic_cast<QPrinter*>(&device))
        printer->setFullPage(true);
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), orientationOf(document), QMarginsF(0, 0, 0, 0)));
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const double x = device.logicalDpiX() / 1440.0;
    const double y = device.logicalDpiY() / 1440.0;
    for (size_t i = 0; i < document.pages.size(); ++i) {
        if (i > 0 && !device.newPage()) {
            painter.end();
            return false;
        }
        paintPage(painter, document.pages[i], x, y);
    }
    return painter.end();
}

} // namespace report
