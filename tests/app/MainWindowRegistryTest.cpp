// "向注册局核实" against a local stand-in registry: each answer as an icon and a tooltip line in
// the verdict cell, nothing else of the row changed, answers finding their rows by name when
// rows go, and Esc, clearing and closing dropping what waits.
#include "MainWindowFixture.h"
#include "app/RegistryCheckRunner.h"
#include "registry/RdapServer.h"
#include "support/Rows.h"

#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

const QDateTime kNow(QDate(2026, 3, 2), QTime(9, 30), Qt::UTC);

std::string domainJson(const std::string& statuses, const std::string& expiry) {
    return R"({"objectClassName":"domain","status":)" + statuses +
           R"(,"events":[{"eventAction":"expiration","eventDate":")" + expiry + R"("}]})";
}

// A stand-in registry for the test top-level domain .test, and its own bootstrap home.
class StandInRegistry {
public:
    StandInRegistry() {
        rdap.answer("/dns.json", {200,
                                  R"({"version":"1.0","services":[[["test"],[")" +
                                      rdap.base().toStdString() + R"("]]]})",
                                  {},
                                  false,
                                  "application/json"});
    }

    AppConfig config(bool enabled = true) {
        AppConfig config = testConfig();
        config.now = [] { return kNow; };
        config.registry.enabled = enabled;
        config.registry.bootstrapAddress = rdap.base() + QStringLiteral("dns.json");
        config.registry.cacheFolder = cache.path();
        config.registry.spacing = 0ms;
        return config;
    }

    // The window with the stand-in's bootstrap fetched, so .test goes to the stand-in.
    std::unique_ptr<MainWindow> window(const QStringList& names) {
        auto form = std::make_unique<MainWindow>(config());
        RdapBootstrapSource& bootstrap = form->watchList().registry().bootstrap();
        bootstrap.refreshIfDue();
        if (!QTest::qWaitFor(
                [&] { return bootstrap.origin() == RdapBootstrapSource::Origin::Fetched; }, 20000))
            ADD_FAILURE() << "the bootstrap was not fetched";
        for (const QString& name : names)
            Rows::append(form->rows(), name);
        return form;
    }

    QTemporaryDir cache;
    RdapServer rdap;
};

void selectAll(MainWindow& form) {
    form.controls().resultView->selectAll();
}

bool allAnswered(MainWindow& form) {
    return QTest::qWaitFor([&] { return form.registryCheck().waitingCount() == 0; }, 20000);
}

class MainWindowRegistry : public ::testing::Test {
protected:
    std::unique_ptr<MainWindow> makeWindow(const QStringList& names) {
        return registry.window(names);
    }
    AppConfig registryConfig(bool enabled = true) { return registry.config(enabled); }

    StandInRegistry registry;
    RdapServer& rdap = registry.rdap;
};

} // namespace

TEST_F(MainWindowRegistry, eachAnswerIsAnIconAndATooltipLineAndNothingElseOfTheRowChanges) {
    rdap.answer("/domain/held.test", {200, domainJson(R"(["active","client transfer prohibited"])",
                                                      "2026-03-20T00:00:00Z")});
    rdap.answer(
        "/domain/restorable.test",
        {200, domainJson(R"(["redemption period","pending delete"])", "2026-02-01T00:00:00Z")});
    rdap.answer("/domain/dropping.test",
                {200, domainJson(R"(["pending delete"])", "2026-01-15T00:00:00Z")});
    rdap.answer("/domain/broken.test", {500, "oops"});
    rdap.answer("/domain/markup.test",
                {200, domainJson(R"(["<b>bold</b>"])", "2027-01-01T00:00:00Z")});
    // gone.test: the stand-in's 404, the registry holds no such name.

    struct Case {
        const char16_t* name;
        char icon;            // rows with the same letter share their icon, other letters differ
        const char16_t* line; // the tooltip's registry line, without its time
    };
    const Case cases[] = {
        {u"held.test", 'h',
         u"注册局：已注册 (active, client transfer prohibited), 到期：2026-03-20"},
        {u"restorable.test", 'd',
         u"注册局：已注册，赎回期 (redemption period, pending delete), 到期：2026-02-01"},
        {u"dropping.test", 'd', u"注册局：已注册，待删除 (pending delete), 到期：2026-01-15"},
        {u"gone.test", 'n', u"注册局：未注册"},
        {u"broken.test", '?', u"注册局：无结论（回答无法识别）"},
        {u"nowhere.zz", '?', u"注册局：无结论（不知道该后缀的注册局）"},
        {u"markup.test", 'h', u"注册局：已注册 (&lt;b&gt;bold&lt;/b&gt;), 到期：2027-01-01"},
    };
    QStringList names;
    for (const Case& c : cases)
        names << QString::fromUtf16(c.name);
    std::unique_ptr<MainWindow> form = makeWindow(names);
    ResultListModel& rows = form->rows();
    rows.setVerdict(0, ResultRow::Verdict::Registered);
    rows.setSubdued(0);
    rows.setEvidence(0, kNow, QStringLiteral("taken"));
    rows.setVerdict(3, ResultRow::Verdict::Free);
    const auto snapshot = [&] {
        QList<QVariant> seen;
        for (int row = 0; row < rows.count(); ++row) {
            for (int column = 0; column < ResultListModel::ColumnCount; ++column) {
                for (int role : {Qt::DisplayRole, Qt::ForegroundRole, Qt::TextAlignmentRole})
                    seen << rows.data(rows.index(row, column), role);
            }
        }
        return seen;
    };
    const QList<QVariant> before = snapshot();
    const QString statusBefore = statusText(*form);

    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    selectAll(*form);
    QTest::keyClick(form.get(), Qt::Key_R, Qt::ControlModifier);
    EXPECT_TRUE(form->progressBar()->isHidden()) << "the search's bar is not the registry's";
    ASSERT_TRUE(allAnswered(*form));

    const QString asked = QStringLiteral("查询于：") +
                          kNow.toLocalTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    for (int row = 0; row < rows.count(); ++row) {
        const Case& c = cases[row];
        const QModelIndex verdict = rows.index(row, ResultListModel::Verdict);
        const QString tip = rows.data(verdict, Qt::ToolTipRole).toString();
        EXPECT_TRUE(tip.contains(QString::fromUtf16(c.line) + QStringLiteral(", ") + asked))
            << names[row].toStdString() << ": " << tip.toStdString();
        const QIcon icon = rows.data(verdict, Qt::DecorationRole).value<QIcon>();
        EXPECT_FALSE(icon.isNull()) << names[row].toStdString();
        for (int other = 0; other < row; ++other) {
            const QIcon otherIcon =
                rows.data(rows.index(other, ResultListModel::Verdict), Qt::DecorationRole)
                    .value<QIcon>();
            EXPECT_EQ(icon.cacheKey() == otherIcon.cacheKey(), c.icon == cases[other].icon)
                << names[row].toStdString() << " and " << names[other].toStdString();
        }
        for (int column = 0; column < ResultListModel::Verdict; ++column) {
            EXPECT_FALSE(rows.data(rows.index(row, column), Qt::DecorationRole).isValid());
            EXPECT_FALSE(rows.data(rows.index(row, column), Qt::ToolTipRole).isValid());
        }
    }
    EXPECT_FALSE(rows.data(rows.index(6, ResultListModel::Verdict), Qt::ToolTipRole)
                     .toString()
                     .contains(QStringLiteral("<b>")));
    EXPECT_TRUE(rows.data(rows.index(0, ResultListModel::Verdict), Qt::ToolTipRole)
                    .toString()
                    .contains(QStringLiteral("服务回答：taken")))
        << "the check's evidence stays beside the registry's line";
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(statusText(*form), statusBefore);
    EXPECT_EQ(rows.columnCount(), 6);
}

TEST_F(MainWindowRegistry, answersFindTheirRowsByNameWhenRowsGoWhileTheyWait) {
    rdap.answer("/domain/a.test",
                {200, domainJson(R"(["active"])", "2026-04-01T00:00:00Z"), {}, true});
    rdap.answer("/domain/b.test", {200, domainJson(R"(["active"])", "2026-04-02T00:00:00Z")});
    rdap.answer("/domain/c.test", {200, domainJson(R"(["active"])", "2026-04-03T00:00:00Z")});
    std::unique_ptr<MainWindow> form =
        makeWindow({QStringLiteral("a.test"), QStringLiteral("b.test"), QStringLiteral("c.test")});
    bool arrived = false;
    rdap.server().onArrival([&](const std::string& target) {
        if (target == "/domain/a.test")
            arrived = true;
    });
    selectAll(*form);
    form->verifyWithRegistry();
    QProgressBar* bar =
        form->findChild<QProgressBar*>(QStringLiteral("StatusBar1.RegistryProgress"));
    ASSERT_TRUE(bar);
    EXPECT_FALSE(bar->isHidden());
    EXPECT_EQ(bar->maximum(), 3);
    ASSERT_TRUE(QTest::qWaitFor([&] { return arrived; }, 20000));

    // The filter's way of removing rows: one compaction while a.test's answer is held.
    form->rows().removeRowsIf([](const ResultRow& row) {
        return row.cells[ResultListModel::Domain] == QStringLiteral("a.test");
    });
    form->rows().renumber();
    rdap.server().release();
    ASSERT_TRUE(allAnswered(*form));
    ASSERT_EQ(form->rows().count(), 2);
    EXPECT_TRUE(form->rows().registryLine(0).contains(QStringLiteral("到期：2026-04-02")))
        << form->rows().registryLine(0).toStdString();
    EXPECT_TRUE(form->rows().registryLine(1).contains(QStringLiteral("到期：2026-04-03")))
        << form->rows().registryLine(1).toStdString();
    EXPECT_TRUE(bar->isHidden());
}

TEST(MainWindowRegistryDrop, escClearingAndClosingDropWhatWaits) {
    struct Case {
        const char* name;
        std::function<void(MainWindow&)> drop;
    };
    const Case cases[] = {
        {"Esc", [](MainWindow& form) { QTest::keyClick(&form, Qt::Key_Escape); }},
        {"clearing", [](MainWindow& form) { form.clearList(); }},
        {"closing", [](MainWindow& form) { form.close(); }},
    };
    for (const Case& c : cases) {
        // A release is for good: each case has a stand-in of its own.
        StandInRegistry own;
        own.rdap.answer("/domain/a.test",
                        {200, domainJson(R"(["active"])", "2026-04-01T00:00:00Z"), {}, true});
        std::unique_ptr<MainWindow> form =
            own.window({QStringLiteral("a.test"), QStringLiteral("b.test")});
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        bool arrived = false;
        own.rdap.server().onArrival([&](const std::string& target) {
            if (target == "/domain/a.test")
                arrived = true;
        });
        selectAll(*form);
        form->verifyWithRegistry();
        ASSERT_TRUE(QTest::qWaitFor([&] { return arrived; }, 20000)) << c.name;
        RegistryLookup& lookup = form->watchList().registry().lookup();
        EXPECT_EQ(lookup.pendingCount(), 2) << c.name;
        c.drop(*form);
        EXPECT_EQ(lookup.pendingCount(), 0) << c.name;
        EXPECT_EQ(form->registryCheck().waitingCount(), 0) << c.name;
        EXPECT_TRUE(form->findChild<QProgressBar*>(QStringLiteral("StatusBar1.RegistryProgress"))
                        ->isHidden())
            << c.name;
        own.rdap.server().release();
        if (form->rows().count() > 0) {
            EXPECT_EQ(form->rows().registryLine(0), QString()) << c.name;
        }
    }
}

TEST_F(MainWindowRegistry, theMenuOffersTheCommandWithItsShortcutAndAnOffRegistryIsSaid) {
    MainWindow form(registryConfig(false));
    Rows::append(form.rows(), QStringLiteral("a.test"));
    std::unique_ptr<QMenu> menu(form.buildResultListMenu());
    QStringList entries;
    for (QAction* action : menu->actions()) {
        if (action->text() == QStringLiteral("向注册局核实")) {
            EXPECT_EQ(action->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_R));
        }
        if (action->text() == QStringLiteral("设置...")) {
            EXPECT_EQ(action->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Comma));
        }
        entries << action->text();
    }
    EXPECT_TRUE(entries.contains(QStringLiteral("向注册局核实")));
    EXPECT_TRUE(entries.contains(QStringLiteral("设置...")));

    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    selectAll(form);
    QTest::keyClick(&form, Qt::Key_R, Qt::ControlModifier);
    auto* message = form.findChild<QMessageBox*>(QStringLiteral("RegistryOffMessage"));
    ASSERT_TRUE(message);
    EXPECT_EQ(message->textFormat(), Qt::PlainText);
    EXPECT_EQ(form.watchList().registry().lookup().pendingCount(), 0);
    EXPECT_EQ(rdap.targets().size(), 0u);
}
