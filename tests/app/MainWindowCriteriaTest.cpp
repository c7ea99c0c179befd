// What the criteria controls send: the window as it opens, and every control changed.
#include "MainWindowFixture.h"
#include "support/ListPages.h"
#include "support/TestServer.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

std::string searchTarget(MainWindow& form, TestServer& server) {
    QTest::mouseClick(form.controls().searchButton, Qt::LeftButton);
    const std::vector<std::string> targets = server.targets();
    return targets.empty() ? std::string() : targets.back();
}

TEST(MainWindowCriteria, theWindowAsItOpensAsksForTheOpeningQuery) {
    TestServer server([](const httplib::Request&, httplib::Response& response) {
        answerText(response, ListPages::pageOfDomains("1", {"a.com"}));
    });
    MainWindow form(testConfig(server.baseUrl()));
    EXPECT_EQ(searchTarget(form, server), std::string("/?") + ListPages::kOpeningQuery);
}

TEST(MainWindowCriteria, everyControlReachesTheQuery) {
    TestServer server([](const httplib::Request&, httplib::Response& response) {
        answerText(response, ListPages::pageOfDomains("1", {"a.com"}));
    });
    MainWindow form(testConfig(server.baseUrl(), QDate(2026, 12, 8)));
    const Ui::MainWindow& ui = form.controls();
    ui.keywordEdit->setText(QStringLiteral("ab"));
    ui.leftOrRightOption->click();
    ui.lengthFromEdit->setText(QStringLiteral("2"));
    ui.lengthToEdit->setText(QStringLiteral("6"));
    ui.lettersCheck->setChecked(false);
    ui.hyphenCheck->setChecked(true);
    for (QCheckBox* box : {ui.pinyinCheck, ui.repeatedPairsCheck, ui.consonantVowelCheck,
                           ui.yAsVowelCheck, ui.initialsOnlyCheck, ui.suggestionCheck})
        box->setChecked(true);
    ui.pinyinCombo->setCurrentText(QStringLiteral("三拼音"));
    ui.orderByDateThenLettersOption->click();
    ui.comCheck->setChecked(true);
    ui.netCheck->setChecked(false);
    ui.cnCheck->setChecked(true);
    ui.deletionTypeCombo->setCurrentText(QStringLiteral("Pre-Release"));
    ui.deletionDateCombo->setCurrentText(QStringLiteral("2026-12-11"));

    EXPECT_EQ(searchTarget(form, server),
              "/?kw=ab&p=3&bl=2&el=6&ds%5B%5D=2&ds%5B%5D=3&py=1&pl=3&ab=1&cv=1&vy=1&ai=1&hs=1"
              "&sort=4&suffix%5B%5D=com&suffix%5B%5D=org&suffix%5B%5D=cn&dt=2&date=2026-12-11"
              "&pagesize=30&st=1");

    ui.deletionTypeCombo->setCurrentText(QStringLiteral("----全部----"));
    ui.deletionDateCombo->setCurrentText(QStringLiteral("即将删除"));
    ui.pinyinCombo->setCurrentText(QStringLiteral("全部拼音"));
    const std::string again = searchTarget(form, server);
    EXPECT_NE(again.find("&py=1&pl=&ab=1"), std::string::npos) << again;
    EXPECT_NE(again.find("&dt=0&date=0&"), std::string::npos) << again;
}

} // namespace
