#pragma once

#include "ReportLayout.h"

#include <QFont>
#include <QPageLayout>

class QPagedPaintDevice;
class QPainter;

namespace report {

// The font of a text item in twip units (pixel size = points x 20). A text wider than
// its box (than its lines of the box, for a text of more lines) gets a smaller size,
// down to 60 %, so that amounts and names stay whole; beyond that the text is clipped to
// its box.
QFont fittedFont(const TextItem& item);
// How wide the text is on one line at its own size, in twips.
double naturalWidth(const TextItem& item);

// Paints one page on a painter whose origin is the paper's top left corner, with the
// given number of device units per twip across and down.
void paintPage(QPainter& painter, const ReportPage& page, double unitsPerTwipX, double unitsPerTwipY);

// Landscape for a paper wider than high, else portrait.
QPageLayout::Orientation orientationOf(const ReportDocument& document);

// Paints the whole report on a printer, a PDF writer or a preview printer: A4 in the
// document's orientation,
// no device margins (the layout carries its own), one device page per report page.
// False when the device cannot be painted on (e.g. the file cannot be written).
bool renderDocument(QPagedPaintDevice& device, const ReportDocument& document);

} // namespace report
