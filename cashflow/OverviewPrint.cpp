#include "OverviewPrint.h"

#include "CashFlowChart.h"
#include "OverviewLayout.h"
#include "ReportWindow.h"

#include <QChart>
#include <QCoreApplication>
#include <QGraphicsScene>
#include <QPainter>

namespace cashflow {

namespace {

// Twips per pixel at 96 dots per inch.
constexpr double kTwipsPerPixel = 15.0;
// Pixels of the printed chart per pixel of its layout: about 290 dots per inch on paper.
constexpr double kResolution = 3.0;

} // namespace

QImage chartImage(const Overview& overview, const QSizeF& size)
{
    QGraphicsScene scene;
    auto* chart = new QChart; // the scene owns it
    scene.addItem(chart);
    chart->setGeometry(QRectF(QPointF(0, 0), size));
    chart->setBackgroundVisible(false);
    fillChart(*chart, overview);
    scene.setSceneRect(QRectF(QPointF(0, 0), size));
    // The chart lays out its plot area and series on posted events: run them before drawing.
    QCoreApplication::sendPostedEvents();
    QImage image((size * kResolution).toSize(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    scene.render(&painter, QRectF(QPointF(0, 0), size * kResolution), scene.sceneRect());
    painter.end();
    return image;
}

report::ReportWindow* openOverviewReport(const Overview& overview, bool era, messages::Msg& msg, QWidget* owner)
{
    const QRectF box = overviewChartBox();
    const QSizeF size(box.width() / kTwipsPerPixel, box.height() / kTwipsPerPixel);
    return report::ReportWindow::showOnce(layoutOverview(overview, era, chartImage(overview, size)), msg, owner, QSize(1100, 820));
}

} // namespace cashflow
