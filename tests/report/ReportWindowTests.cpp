#include "MessagePresenter.h"
#include "Msg.h"
#include "ReportTestSupport.h"
#include "ReportWindow.h"

#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

using namespace report;

namespace {

ReportDocument twoPages()
{
    std::vector<PrintRow> rows;
    for (int i = 0; i < rowsPerPage() + 5; ++i)
        rows.push_back({QString::number(i % 28 + 1), QStringLiteral("支払先%1").arg(i), yen(1000 + i), std::nullopt, yen(-i)});
    ReportHeader header{QDate(2005, 11, 1), "2005年11月", yen(1), yen(2), yen(3), yen(4)};
    return layoutReport(header, rows, 0);
}

// Where the top of a page stands in the preview's viewport.
int pageTopInView(ReportWindow& window, int page)
{
    auto* view = window.findChild<QGraphicsView*>();
    std::vector<QGraphicsItem*> pages;
    for (QGraphicsItem* item : view->scene()->items())
        if (!item->parentItem())
            pages.push_back(item);
    std::sort(pages.begin(), pages.end(), [](QGraphicsItem* a, QGraphicsItem* b) { return a->pos().y() < b->pos().y(); });
    return view->mapFromScene(pages.at(static_cast<size_t>(page - 1))->pos()).y();
}

} // namespace

TEST(ReportWindow, FitsTheScreenItOpensOnAndClosesWithEscape)
{
    messages::ScriptedMessagePresenter presenter;
    messages::Msg msg(presenter);
    QPointer<ReportWindow> window = new ReportWindow(twoPages(), msg);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    const QRect room = window->screen()->availableGeometry();
    std::printf("[ screen ] %dx%d available, preview %dx%d at %d,%d\n", room.width(), room.height(), window->width(), window->height(), window->x(), window->y());
    EXPECT_LE(window->height(), 900);
    EXPECT_TRUE(room.contains(window->geometry())) << "the whole window is on the screen";
    EXPECT_LT(window->geometry().top() - room.top(), room.height() - window->height() + 1);

    window->findChild<QPushButton*>("cmd拡大")->setFocus();
    QTest::keyClick(window->findChild<QPushButton*>("cmd拡大"), Qt::Key_Escape);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull()) << "Escape closes the preview, which goes with it";
}

TEST(ReportWindow, ZoomingKeepsTheTopOfThePageBeingReadInView)
{
    messages::ScriptedMessagePresenter presenter;
    messages::Msg msg(presenter);
    ReportWindow window(twoPages(), msg);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    auto* zoomIn = window.findChild<QPushButton*>("cmd拡大");
    const int viewport = window.findChild<QGraphicsView*>()->viewport()->height();
    for (int press = 1; press <= 4; ++press) {
        QTest::mouseClick(zoomIn, Qt::LeftButton);
        const int top = pageTopInView(window, 1);
        EXPECT_GE(top, 0) << "press " << press;
        EXPECT_LT(top, viewport / 4) << "press " << press;
    }
    // On the second page, zooming out and in again keeps that page's top in view.
    window.findChild<QPushButton*>("cmd次頁")->click();
    ASSERT_EQ(window.currentPage(), 2);
    QTest::mouseClick(window.findChild<QPushButton*>("cmd縮小"), Qt::LeftButton);
    QTest::mouseClick(zoomIn, Qt::LeftButton);
    const int top = pageTopInView(window, 2);
    EXPECT_GE(top, 0);
    EXPECT_LT(top, viewport / 4);
}
