// Minimise, restore and close, as far as the offscreen platform lets them be seen.
#include "MainWindowFixture.h"
#include "HomePageSpy.h"

#include <QSystemTrayIcon>
#include <QTest>

#include <gtest/gtest.h>

TEST(MainWindowLifecycle, minimisingHidesTheBannerAndRestoringBringsItBack) {
    MainWindow form(testConfig());
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.move(120, 90);
    const QPoint placed = form.pos();
    form.showMinimized();
    QTRY_VERIFY(form.isMinimized() || form.isHidden());
    EXPECT_FALSE(form.controls().bannerImage->isVisible());
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        EXPECT_TRUE(form.isMinimized()) << "without a notification area the window stays reachable";
    }

    form.trayIcon()->activated(QSystemTrayIcon::Context);
    QTest::qWait(50);
    EXPECT_TRUE(form.isMinimized() || form.isHidden()) << "a right click does nothing";

    form.trayIcon()->activated(QSystemTrayIcon::Trigger);
    QTRY_VERIFY(form.isVisible() && !form.isMinimized());
    EXPECT_TRUE(form.controls().bannerImage->isVisible());
    EXPECT_EQ(form.pos(), placed);
    EXPECT_TRUE(form.trayIcon()->isVisible() || !QSystemTrayIcon::isSystemTrayAvailable());
}

TEST(MainWindowLifecycle, aDoubleClickOnTheIconAlsoRestoresAndTheIconHasNoMenu) {
    MainWindow form(testConfig());
    form.show();
    form.showMinimized();
    QTRY_VERIFY(form.isMinimized() || form.isHidden());
    form.trayIcon()->activated(QSystemTrayIcon::DoubleClick);
    QTRY_VERIFY(form.isVisible() && !form.isMinimized());
    EXPECT_EQ(form.trayIcon()->contextMenu(), nullptr);
}

TEST(MainWindowLifecycle, closingRemovesTheIconAndOpensTheHomePageOnce) {
    HomePageSpy browser;
    MainWindow form(testConfig());
    form.show();
    EXPECT_TRUE(form.trayIcon()->isVisible() || !QSystemTrayIcon::isSystemTrayAvailable());
    form.close();
    EXPECT_FALSE(form.trayIcon()->isVisible());
    ASSERT_EQ(browser.opened.size(), 1);
    EXPECT_EQ(browser.opened.front(), QUrl(QStringLiteral("morrowcatch-test://home")));
}
