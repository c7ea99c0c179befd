// One program per user: a later start hands over to the running one and ends, a dead program's
// lock does not block the next start; with the real program where the start itself is the point.
#include "app/SingleInstance.h"
#include "MainWindowFixture.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

TEST(SingleInstance, aHolderThatNeverAnswers_endsTheLaterStartAfterItsTime) {
    QTemporaryDir dir;
    QLockFile hung(SingleInstance(dir.path()).lockPath());
    hung.setStaleLockTime(0);
    ASSERT_TRUE(hung.tryLock(0));
    SingleInstance later(dir.path());
    EXPECT_EQ(later.start(300ms), SingleInstance::Start::NoAnswer);
}

TEST(SingleInstance, onlyTheShowRequestIsAnswered) {
    struct Case {
        QByteArray sent;
        int shows;
        QByteArray answer;
    };
    const Case cases[] = {
        {QByteArrayLiteral("show\n"), 1, QByteArrayLiteral("shown\n")},
        {QByteArrayLiteral("quit\n"), 0, {}},
        {QByteArray(4096, 's'), 0, {}}, // no end of line, ever
    };
    QTemporaryDir dir;
    SingleInstance running(dir.path());
    ASSERT_EQ(running.start(), SingleInstance::Start::Running);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sent.left(16).toStdString());
        QSignalSpy asked(&running, &SingleInstance::showRequested);
        QLocalSocket caller;
        caller.connectToServer(running.serverName());
        ASSERT_TRUE(caller.waitForConnected(5000));
        caller.write(c.sent);
        QByteArray answer;
        // The running program ends every exchange itself.
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                answer += caller.readAll();
                return caller.state() == QLocalSocket::UnconnectedState;
            },
            30000));
        answer += caller.readAll();
        EXPECT_EQ(asked.count(), c.shows);
        EXPECT_EQ(answer, c.answer);
    }
}

TEST(SingleInstance, theWindowComesBackFromHiddenOrMinimised) {
    MainWindow form(testConfig());
    for (const bool minimised : {false, true}) {
        SCOPED_TRACE(minimised);
        if (minimised)
            form.showMinimized();
        else
            form.hide(); // as in the notification area
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return minimised ? form.isMinimized() : !form.isVisible(); }));
        form.bringToFront();
        EXPECT_TRUE(form.isVisible());
        EXPECT_FALSE(form.isMinimized());
    }
}

namespace {

// Starts of the real program, each with a home, runtime, data and settings folder of the
// test's own and no display.
class ProgramStarts : public ::testing::Test {
protected:
    void TearDown() override {
        for (auto& program : programs) {
            program->kill();
            program->waitForFinished();
        }
    }

    QProcess& launch() {
        auto program = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS"})
            environment.remove(QString::fromLatin1(name));
        environment.insert(QStringLiteral("HOME"), home.path());
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        environment.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                           home.filePath(QStringLiteral("config")));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        program->setProcessEnvironment(environment);
        program->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program->start(QStringLiteral(MORROWCATCH_PROGRAM), {});
        programs.push_back(std::move(program));
        return *programs.back();
    }

    // Whether a program answers on the socket; a file left by a killed one refuses.
    bool listening() const {
        QLocalSocket probe;
        probe.connectToServer(SingleInstance(runtime.path()).serverName());
        return probe.waitForConnected(100);
    }

    // Waits without blocking this thread, which may have to answer the program itself.
    static bool ended(QProcess& program) {
        QElapsedTimer clock;
        clock.start();
        const bool done =
            QTest::qWaitFor([&] { return program.state() == QProcess::NotRunning; }, 30000);
        std::printf("the later start ended after %lld ms\n", clock.elapsed());
        return done;
    }

    QTemporaryDir home;
    QTemporaryDir runtime;
    std::vector<std::unique_ptr<QProcess>> programs;
};

} // namespace

TEST_F(ProgramStarts, theProgramStartedWhileAnotherRuns_asksItToShowAndEndsWithStatusZero) {
    SingleInstance running(runtime.path());
    ASSERT_EQ(running.start(), SingleInstance::Start::Running);
    QSignalSpy asked(&running, &SingleInstance::showRequested);
    QProcess& later = launch();
    ASSERT_TRUE(ended(later));
    EXPECT_EQ(later.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(later.exitCode(), 0);
    EXPECT_EQ(asked.count(), 1);
}

TEST_F(ProgramStarts, aProgramKilledHoldingTheLock_doesNotBlockTheNextStart) {
    QProcess& killed = launch();
    ASSERT_TRUE(QTest::qWaitFor([&] { return listening(); }, 30000));
    killed.kill();
    ASSERT_TRUE(killed.waitForFinished());
    const SingleInstance names(runtime.path());
    ASSERT_TRUE(QFileInfo::exists(names.lockPath())) << "the lock is left behind";
    ASSERT_TRUE(QFileInfo::exists(names.serverName())) << "and so is the socket";

    QProcess& next = launch();
    ASSERT_TRUE(QTest::qWaitFor([&] { return listening(); }, 30000))
        << "the next start runs and listens";
    QProcess& later = launch();
    ASSERT_TRUE(ended(later));
    EXPECT_EQ(later.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(later.exitCode(), 0);
    EXPECT_EQ(next.state(), QProcess::Running);
}
