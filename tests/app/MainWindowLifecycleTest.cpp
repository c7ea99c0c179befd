// Minimise, restore and close. Where there is no notification area (offscreen) the window
// stays minimised; the tests that need one skip there and run on the scripted run's display,
// which has a tray host.
#include "HomePageSpy.h"
#include "MainWindowFixture.h"

#include <QSystemTrayIcon>
#include <QTest>

#include <gtest/gtest.h>

namespace {

bool waitUntil(const std::function<bool()>& condition) {
    return QTest::qWaitFor(condition, 5000);
}

} // namespace

TEST(MainWindowLifecycle, withoutANotificationAreaMinimisingLeavesTheWindowReachable) {
    if (QSystemTrayIcon::isSystemTrayAvailable())
        GTEST_SKIP() << "this display has a notification area";
    MainWindow form(testConfig());
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.move(120, 90);
    const QPoint placed = form.pos();
    form.showMinimized();
    ASSERT_TRUE(waitUntil([&] { return form.isMinimized(); }));
    EXPECT_FALSE(form.controls().bannerImage->isVisible());
    QCoreApplication::processEvents();
    EXPECT_TRUE(form.isMinimized()) << "without a notification area the window is not hidden";
    EXPECT_FALSE(form.isHidden());

    emit form.trayIcon()->activated(QSystemTrayIcon::Context);
    QCoreApplication::processEvents();
    EXPECT_TRUE(form.isMinimized()) << "a right click does nothing";

    emit form.trayIcon()->activated(QSystemTrayIcon::Trigger);
    ASSERT_TRUE(waitUntil([&] { return form.isVisible() && !form.isMinimized(); }));
    EXPECT_TRUE(form.controls().bannerImage->isVisible());
    EXPECT_EQ(form.pos(), placed);
}

TEST(MainWindowLifecycle, withANotificationAreaMinimisingHidesTheWindowIntoTheIcon) {
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        GTEST_SKIP() << "no notification area on this display";
    MainWindow form(testConfig());
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.move(120, 90);
    ASSERT_TRUE(waitUntil([&] { return form.pos() == QPoint(120, 90); }));
    const QPoint placed = form.pos();
    EXPECT_TRUE(form.trayIcon()->isVisible());
    form.showMinimized();
    ASSERT_TRUE(waitUntil([&] { return form.isHidden(); }));
    EXPECT_FALSE(form.controls().bannerImage->isVisible());

    emit form.trayIcon()->activated(QSystemTrayIcon::Context);
    QCoreApplication::processEvents();
    EXPECT_TRUE(form.isHidden()) << "a right click does nothing";

    emit form.trayIcon()->activated(QSystemTrayIcon::Trigger);
    ASSERT_TRUE(waitUntil([&] { return form.isVisible() && !form.isMinimized(); }));
    EXPECT_TRUE(form.controls().bannerImage->isVisible());
    EXPECT_TRUE(waitUntil([&] { return form.pos() == placed; }));
    EXPECT_TRUE(form.trayIcon()->isVisible());
}

TEST(MainWindowLifecycle, aDoubleClickOnTheIconAlsoRestoresAndTheIconHasNoMenu) {
    MainWindow form(testConfig());
    form.show();
    form.showMinimized();
    ASSERT_TRUE(waitUntil([&] { return form.isMinimized() || form.isHidden(); }));
    emit form.trayIcon()->activated(QSystemTrayIcon::DoubleClick);
    ASSERT_TRUE(waitUntil([&] { return form.isVisible() && !form.isMinimized(); }));
    EXPECT_EQ(form.trayIcon()->contextMenu(), nullptr);
}

TEST(MainWindowLifecycle, closingRemovesTheIconAndOpensTheHomePageOnce) {
    HomePageSpy browser;
    MainWindow form(testConfig());
    form.show();
    EXPECT_TRUE(form.trayIcon()->isVisible()) << "the icon is added at start-up";
    form.close();
    EXPECT_FALSE(form.trayIcon()->isVisible());
    ASSERT_EQ(browser.opened.size(), 1);
    EXPECT_EQ(browser.opened.front(), QUrl(QStringLiteral("morrowcatch-test://home")));
}
