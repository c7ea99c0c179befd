// Minimise, restore and close, as far as the offscreen platform lets them be seen.
#include "Form1Fixture.h"
#include "HomePageSpy.h"

#include <QSystemTrayIcon>
#include <QTest>

#include <gtest/gtest.h>

TEST(Form1Lifecycle, minimisingHidesTheBannerAndRestoringBringsItBack) {
    Form1 form(testConfig());
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.move(120, 90);
    const QPoint placed = form.pos();
    form.showMinimized();
    QTRY_VERIFY(form.isMinimized() || form.isHidden());
    EXPECT_FALSE(form.controls().Image1->isVisible());
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        EXPECT_TRUE(form.isMinimized()) << "without a notification area the window stays reachable";
    }

    form.TrayIcon_Activated(QSystemTrayIcon::Context);
    QTest::qWait(50);
    EXPECT_TRUE(form.isMinimized() || form.isHidden()) << "a right click does nothing";

    form.TrayIcon_Activated(QSystemTrayIcon::Trigger);
    QTRY_VERIFY(form.isVisible() && !form.isMinimized());
    EXPECT_TRUE(form.controls().Image1->isVisible());
    EXPECT_EQ(form.pos(), placed);
    EXPECT_TRUE(form.trayIcon()->isVisible() || !QSystemTrayIcon::isSystemTrayAvailable());
}

TEST(Form1Lifecycle, aDoubleClickOnTheIconAlsoRestoresAndTheIconHasNoMenu) {
    Form1 form(testConfig());
    form.show();
    form.showMinimized();
    QTRY_VERIFY(form.isMinimized() || form.isHidden());
    form.TrayIcon_Activated(QSystemTrayIcon::DoubleClick);
    QTRY_VERIFY(form.isVisible() && !form.isMinimized());
    EXPECT_EQ(form.trayIcon()->contextMenu(), nullptr);
}

TEST(Form1Lifecycle, closingRemovesTheIconAndOpensTheHomePageOnce) {
    HomePageSpy browser;
    Form1 form(testConfig());
    form.show();
    EXPECT_TRUE(form.trayIcon()->isVisible() || !QSystemTrayIcon::isSystemTrayAvailable());
    form.close();
    EXPECT_FALSE(form.trayIcon()->isVisible());
    ASSERT_EQ(browser.opened.size(), 1);
    EXPECT_EQ(browser.opened.front(), QUrl(QStringLiteral("morrowcatch-test://home")));
}
