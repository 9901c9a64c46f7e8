#include "ReportRenderer.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPrinter>

#include <algorithm>
#include <cmath>

namespace report {

namespace {

constexpr double kTwipsPerPoint = 20.0;
constexpr double kSmallestScale = 0.6;
// Dashes of the row rule, in multiples of its width.
const QList<qreal> kRowDashes = {3.0, 3.0};

} // namespace

QFont fittedFont(const TextItem& item)
{
    QFont font(item.family);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setBold(item.bold);
    const int size = static_cast<int>(std::lround(item.pointSize * kTwipsPerPoint));
    font.setPixelSize(size);
    if (item.text.isEmpty())
        return font;
    const double advance = QFontMetricsF(font).horizontalAdvance(item.text);
    if (advance > item.box.width() && advance > 0) {
        const int smallest = static_cast<int>(std::ceil(size * kSmallestScale));
        const int fitted = static_cast<int>(std::floor(size * item.box.width() / advance));
        font.setPixelSize(std::max(smallest, fitted));
    }
    return font;
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
    for (const TextItem& text : page.texts) {
        if (text.text.isEmpty())
            continue;
        painter.setFont(fittedFont(text));
        painter.setPen(text.color);
        painter.drawText(text.box, static_cast<int>(text.alignment) | Qt::TextSingleLine, text.text);
    }
    painter.restore();
}

bool renderDocument(QPagedPaintDevice& device, const ReportDocument& document)
{
    // The layout measures everything from the paper's corner, so the device gets no
    // margins of its own; a printer is told to paint on the full sheet.
    if (auto* printer = dynamic_cast<QPrinter*>(&device))
        printer->setFullPage(true);
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
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
