#include "MainWindow.h"
#include "Startup.h"
#include "TempDataDir.h"
#include "WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(WindowPlacement, KeepsAPlaceThatFitsAndMovesOneOffEveryScreenOntoOne)
{
    const QRect left(0, 0, 1920, 1050), right(1920, 0, 1280, 1000);
    const QList<QRect> both{left, right};
    EXPECT_EQ(WindowPlacement::fitOnScreens({100, 80, 900, 700}, both), QRect(100, 80, 900, 700));
    EXPECT_EQ(WindowPlacement::fitOnScreens({2100, 50, 900, 700}, both), QRect(2100, 50, 900, 700));
    // Hanging off the right screen's edge: pulled back inside it.
    EXPECT_EQ(WindowPlacement::fitOnScreens({2800, 600, 900, 700}, both), QRect(2300, 300, 900, 700));
    // Mostly on the right screen, across the seam: stays on the right one.
    EXPECT_EQ(WindowPlacement::fitOnScreens({1800, 100, 900, 700}, both), QRect(1920, 100, 900, 700));
    // The right screen is gone: onto the remaining one.
    EXPECT_EQ(WindowPlacement::fitOnScreens({2100, 50, 900, 700}, {left}), QRect(1020, 50, 900, 700));
    // Far away, above or left of every screen: onto the first, shrunk to fit it.
    EXPECT_EQ(WindowPlacement::fitOnScreens({-5000, -300, 2500, 1200}, both), QRect(0, 0, 1920, 1050));
    // Screens whose areas do not start at the origin (a panel on top).
    EXPECT_EQ(WindowPlacement::fitOnScreens({10, 0, 800, 600}, {QRect(0, 32, 1366, 736)}), QRect(10, 32, 800, 600));
}

TEST(WindowPlacement, TheNextWindowOpensWhereTheLastClosedOnTheSamePageAndOnScreen)
{
    TempDataDir dir;
    QTemporaryDir settingsDir;
    QSettings settings(settingsDir.filePath(QStringLiteral("Quorel1.conf")), QSettings::IniFormat);
    messages::ScriptedMessagePresenter presenter;
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QPoint closedAt;
    QSize closedSize;
    {
        StartupOutcome started = startQuorel1(dir.path(), presenter);
        ASSERT_TRUE(started.window);
        auto* pages = started.window->findChild<QTabWidget*>(QStringLiteral("SSTab1"));
        WindowPlacement placement(*started.window, pages, settings);
        placement.restore(); // nothing remembered yet: the first page
        EXPECT_EQ(pages->currentIndex(), 0);
        started.window->show();
        started.window->move(screen.topLeft() + QPoint(7, 9));
        pages->setCurrentIndex(2);
        closedAt = started.window->pos();
        closedSize = started.window->size();
        started.window->close();
    }
    EXPECT_EQ(settings.value("window/page").toInt(), 2);
    {
        StartupOutcome started = startQuorel1(dir.path(), presenter);
        ASSERT_TRUE(started.window);
        auto* pages = started.window->findChild<QTabWidget*>(QStringLiteral("SSTab1"));
        WindowPlacement placement(*started.window, pages, settings);
        placement.restore();
        EXPECT_EQ(pages->currentIndex(), 2);
        EXPECT_EQ(started.window->pos(), WindowPlacement::fitOnScreens(QRect(closedAt, closedSize), {screen}).topLeft());
        EXPECT_EQ(started.window->size(), closedSize);
    }
    // Remembered on a screen that is no longer there, and a page that no longer exists.
    settings.setValue("window/position", QPoint(screen.right() + 4000, screen.bottom() + 3000));
    settings.setValue("window/page", 9);
    {
        StartupOutcome started = startQuorel1(dir.path(), presenter);
        ASSERT_TRUE(started.window);
        auto* pages = started.window->findChild<QTabWidget*>(QStringLiteral("SSTab1"));
        WindowPlacement placement(*started.window, pages, settings);
        placement.restore();
        EXPECT_TRUE(screen.contains(started.window->pos())) << started.window->pos().x() << "," << started.window->pos().y();
        EXPECT_EQ(pages->currentIndex(), 0);
    }
    EXPECT_TRUE(presenter.shown().empty());
}
