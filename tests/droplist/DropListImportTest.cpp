#include "search/DropListImport.h"
#include "GzipBytes.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Names over many of the reader's pieces, packed or not.
QByteArray ManyNames(int count) {
    QByteArray text;
    for (int i = 0; i < count; ++i)
        text += "name" + QByteArray::number(i) + ".com\n";
    return text;
}

TEST(ReadDropList, cancelKeepsTheRowsSoFar) {
    QByteArray text = ManyNames(300000);
    for (const bool packed : {false, true}) {
        QByteArray bytes = packed ? GzipBytes(text) : text;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        std::atomic<bool> cancel{false};
        std::vector<ResultRow> taken;
        DropListCallbacks callbacks;
        callbacks.cancel = &cancel;
        callbacks.rows = [&](std::vector<ResultRow>&& rows) {
            taken.insert(taken.end(), rows.begin(), rows.end());
            cancel = true;
        };
        const DropListOutcome outcome =
            ReadDropList(buffer, DropListForm::Text, {}, QDate(2026, 12, 8), callbacks);
        EXPECT_TRUE(outcome.cancelled);
        EXPECT_TRUE(outcome.problem.isEmpty());
        ASSERT_FALSE(taken.empty());
        EXPECT_LT(taken.size(), 300000u);
        EXPECT_EQ(outcome.counts.kept, static_cast<qint64>(taken.size()));
        EXPECT_EQ(taken.front().cells[ResultListModel::Domain], QStringLiteral("name0.com"));
        EXPECT_EQ(taken.back().cells[ResultListModel::Number], QString::number(taken.size()));
    }
}

TEST(DropListImport, readsOnItsThreadAndHandsOverEveryRow) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.txt.gz"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(GzipBytes(ManyNames(200000) + "not a name\n"));
    file.close();

    DropListImport import;
    std::vector<ResultRow> rows;
    qint64 lastDone = 0;
    QObject::connect(&import, &DropListImport::rowsAvailable, [&] {
        for (ResultRow& row : import.takeRows())
            rows.push_back(std::move(row));
    });
    QObject::connect(&import, &DropListImport::progress,
                     [&](qint64 done, qint64) { lastDone = done; });
    bool finished = false;
    QObject::connect(&import, &DropListImport::finished, [&] { finished = true; });
    ASSERT_TRUE(import.start(path, {}, QDate(2026, 12, 8)));
    EXPECT_FALSE(import.start(path, {}, QDate(2026, 12, 8))) << "one reading at a time";
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished; }, 60000));
    for (ResultRow& row : import.takeRows())
        rows.push_back(std::move(row));
    EXPECT_EQ(rows.size(), 200000u);
    EXPECT_EQ(import.outcome().counts.notNames, 1);
    EXPECT_EQ(lastDone, QFileInfo(path).size());
    EXPECT_FALSE(import.isRunning());
}

TEST(DropListImport, missingFileIsTold) {
    DropListImport import;
    bool finished = false;
    QObject::connect(&import, &DropListImport::finished, [&] { finished = true; });
    ASSERT_TRUE(import.start(QStringLiteral("/nonexistent/list.txt"), {}, QDate(2026, 12, 8)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished; }, 60000));
    EXPECT_TRUE(import.outcome().problem.startsWith(u"无法打开文件"));
}

TEST(DropListImport, destroyedWhileReadingStopsCleanly) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.txt"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(ManyNames(300000));
    file.close();
    auto import = std::make_unique<DropListImport>();
    ASSERT_TRUE(import->start(path, {}, QDate(2026, 12, 8)));
    import.reset();
    QCoreApplication::processEvents();
}

} // namespace
