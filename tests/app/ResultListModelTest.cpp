#include "results/ResultListModel.h"
#include "support/Rows.h"

#include <QBrush>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

QStringList domains(const ResultListModel& model) {
    QStringList names;
    for (int i = 0; i < model.count(); ++i)
        names << model.cell(i, ResultListModel::Domain);
    return names;
}

} // namespace

TEST(ResultListModel, hasSixColumnsWithTheirHeaders) {
    ResultListModel model;
    ASSERT_EQ(model.columnCount(), 6);
    const QStringList headers{QStringLiteral("序号"),     QStringLiteral("域名"),
                              QStringLiteral("删除时间"), QStringLiteral("删除类型"),
                              QStringLiteral("百度建议"), QStringLiteral("是否已被注册")};
    // Their widths are checked where they show, in the window's result view.
    for (int c = 0; c < 6; ++c)
        EXPECT_EQ(model.headerData(c, Qt::Horizontal).toString(), headers[c]);
    EXPECT_FALSE(model.headerData(6, Qt::Horizontal).isValid());
}

TEST(ResultListModel, rowsCanBeSelectedButNeverEdited) {
    ResultListModel model;
    model.appendRow(Rows::listed(QStringLiteral("a.com")));
    const Qt::ItemFlags flags = model.flags(model.index(0, 0));
    EXPECT_TRUE(flags & Qt::ItemIsSelectable);
    EXPECT_FALSE(flags & Qt::ItemIsEditable);
    EXPECT_FALSE(model.setData(model.index(0, 0), QStringLiteral("9")));
}

TEST(ResultListModel, aBatchOfRowsIsOneInsertNotificationInOrder) {
    ResultListModel model;
    model.appendRow(Rows::listed(QStringLiteral("first.com")));
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    model.appendRows({Rows::listed(QStringLiteral("b.com")), Rows::listed(QStringLiteral("c.net")),
                      Rows::listed(QStringLiteral("d.org"))});
    ASSERT_EQ(inserted.count(), 1);
    EXPECT_EQ(inserted.at(0).at(1).toInt(), 1);
    EXPECT_EQ(inserted.at(0).at(2).toInt(), 3);
    EXPECT_EQ(domains(model), (QStringList{QStringLiteral("first.com"), QStringLiteral("b.com"),
                                           QStringLiteral("c.net"), QStringLiteral("d.org")}));
    model.appendRows({});
    EXPECT_EQ(inserted.count(), 1);
}

TEST(ResultListModel, subduedRowsAreDrawnGreyInEveryColumn) {
    ResultListModel model;
    model.appendRows(
        {Rows::listed(QStringLiteral("free.com")), Rows::listed(QStringLiteral("taken.com"))});
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.setSubdued(1);
    ASSERT_EQ(changed.count(), 1);
    for (int c = 0; c < ResultListModel::ColumnCount; ++c) {
        EXPECT_FALSE(model.data(model.index(0, c), Qt::ForegroundRole).isValid());
        EXPECT_EQ(model.data(model.index(1, c), Qt::ForegroundRole).value<QBrush>().color(),
                  ResultListModel::subduedColour());
    }
}

TEST(ResultListModel, removalKeepsTheOrderAndRenumberingCountsFromOne) {
    ResultListModel model;
    std::vector<ResultRow> rows;
    for (int i = 0; i < 10; ++i)
        rows.push_back(Rows::listed(QString::number(i) + QStringLiteral(".com")));
    model.appendRows(std::move(rows));
    model.setSubdued(4);
    model.removeRowsIf([](const ResultRow& row) {
        return row.cells[ResultListModel::Domain].left(1).toInt() % 3 == 0;
    });
    EXPECT_EQ(domains(model), (QStringList{QStringLiteral("1.com"), QStringLiteral("2.com"),
                                           QStringLiteral("4.com"), QStringLiteral("5.com"),
                                           QStringLiteral("7.com"), QStringLiteral("8.com")}));
    EXPECT_TRUE(model.row(2).subdued) << "a kept row keeps its colour";
    model.renumber();
    for (int i = 0; i < model.count(); ++i)
        EXPECT_EQ(model.cell(i, ResultListModel::Number), QString::number(i + 1));
}

TEST(ResultListModel, clearingEmptiesTheRowsButKeepsTheColumns) {
    ResultListModel model;
    model.appendRows(
        {Rows::listed(QStringLiteral("a.com")), Rows::listed(QStringLiteral("b.com"))});
    model.clear();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.columnCount(), 6);
    model.clear();
    EXPECT_EQ(model.rowCount(), 0);
}

TEST(ResultListModel, outOfRangeIndexesGiveNothing) {
    ResultListModel model;
    model.appendRow(Rows::listed(QStringLiteral("a.com")));
    EXPECT_FALSE(model.data(model.index(5, 0)).isValid());
    EXPECT_FALSE(model.data(QModelIndex()).isValid());
    EXPECT_EQ(model.rowCount(model.index(0, 0)), 0);
}

TEST(ResultListModel, answersThatNameTheirRowsNameIsShownWholeAndSharedBetweenRows) {
    ResultListModel model;
    model.appendRows({Rows::listed(QStringLiteral("a.com")), Rows::listed(QStringLiteral("b.com")),
                      Rows::listed(QStringLiteral("c.com")),
                      Rows::listed(QStringLiteral("d.com"))});
    const QDateTime at(QDate(2026, 12, 9), QTime(6, 5, 4));
    // Each line as the service sent it, and what the row must show of it.
    const QString lines[] = {
        QStringLiteral("a.com|210|available"),
        QStringLiteral("b.com|210|available"),
        QStringLiteral("x.com|210|available (c.com)"),
        QStringLiteral("d.com|210|\uFFFFd.com"),
    };
    for (int row = 0; row < 4; ++row)
        model.setEvidence(row, at, lines[row]);
    for (int row = 0; row < 4; ++row)
        EXPECT_EQ(model.answerLine(row), lines[row]) << row;
    EXPECT_EQ(model.answerLine(0).size(), lines[0].size());
}

TEST(ResultListModel, evidenceIsAnEscapedTipOnTheVerdictAndEqualAnswersAreKeptOnce) {
    ResultListModel model;
    model.appendRows(
        {Rows::listed(QStringLiteral("a.com")), Rows::listed(QStringLiteral("b.com"))});
    const QDateTime at(QDate(2026, 12, 9), QTime(6, 5, 4));
    model.setEvidence(0, at, QStringLiteral("<b>|210|</b>"));
    model.setEvidence(1, at, QStringLiteral("<b>|210|</b>"));
    EXPECT_EQ(model.answerLine(0).constData(), model.answerLine(1).constData());
    const QString tip =
        model.data(model.index(0, ResultListModel::Verdict), Qt::ToolTipRole).toString();
    EXPECT_TRUE(tip.contains(QStringLiteral("验证时间：2026-12-09 06:05:04"))) << tip.toStdString();
    EXPECT_TRUE(tip.contains(QStringLiteral("服务回答：&lt;b&gt;|210|&lt;/b&gt;")));
    EXPECT_FALSE(model.data(model.index(0, ResultListModel::Domain), Qt::ToolTipRole).isValid());
    EXPECT_EQ(model.checkedAt(1), at);
}

TEST(ResultListModel, evidenceSurvivesRemovalAndClearingForgetsIt) {
    ResultListModel model;
    model.appendRows({Rows::listed(QStringLiteral("a.com")), Rows::listed(QStringLiteral("b.com")),
                      Rows::listed(QStringLiteral("c.com"))});
    const QDateTime at(QDate(2026, 12, 9), QTime(6, 5, 4, 321));
    model.setEvidence(0, at, QStringLiteral("|211|"));
    model.setEvidence(2, at.addSecs(1), QStringLiteral("|210|"));
    model.removeRowsIf([](const ResultRow& row) {
        return row.cells[ResultListModel::Domain] == QStringLiteral("a.com");
    });
    EXPECT_FALSE(model.checkedAt(0).isValid());
    EXPECT_TRUE(model.answerLine(0).isNull());
    EXPECT_EQ(model.checkedAt(1), at.addSecs(1));
    EXPECT_EQ(model.answerLine(1), QStringLiteral("|210|"));

    model.clear();
    model.appendRow(Rows::listed(QStringLiteral("d.com")));
    EXPECT_FALSE(model.checkedAt(0).isValid());
    model.setEvidence(0, at, QStringLiteral("|212|"));
    EXPECT_EQ(model.answerLine(0), QStringLiteral("|212|"));
}

TEST(ResultListModel, sharedCellsKeepEachRowsOwnValueWhateverTheirNumber) {
    ResultListModel model;
    std::vector<ResultRow> rows;
    // More distinct suggestions than are ever shared, and one type for every row.
    for (int i = 0; i < 5000; ++i) {
        ResultRow row = Rows::listed(QStringLiteral("n%1.com").arg(i));
        row.cells[ResultListModel::Suggestion] = QString::number(i % 4500);
        row.cells[ResultListModel::DeletionType] = QStringLiteral("Delete");
        rows.push_back(std::move(row));
    }
    model.appendRows(std::move(rows));
    for (int i = 0; i < 5000; ++i) {
        ASSERT_EQ(model.cell(i, ResultListModel::Suggestion), QString::number(i % 4500)) << i;
        ASSERT_EQ(model.cell(i, ResultListModel::DeletionType), QStringLiteral("Delete")) << i;
    }
    model.setCell(0, ResultListModel::DeletionType, QStringLiteral("Pre-Release"));
    EXPECT_EQ(model.cell(1, ResultListModel::DeletionType), QStringLiteral("Delete"));
}

TEST(ResultListModel, aRowHoldsEveryValidDateThatADayNumberCanAndNoOther) {
    const std::pair<QDate, QDate> cases[] = {
        {QDate(2026, 12, 9), QDate(2026, 12, 9)},
        {QDate(-4713, 1, 2), QDate(-4713, 1, 2)},
        {QDate(2026, 2, 30), QDate()},
        {QDate::fromJulianDay(qint64(1) << 40), QDate()},
        {QDate::fromJulianDay(-(qint64(1) << 40)), QDate()},
    };
    for (const auto& [date, held] : cases) {
        ResultRow row;
        row.deletionDay = ResultRow::dayOf(date);
        EXPECT_EQ(row.deletionDate(), held) << date.toJulianDay();
    }
}

TEST(ResultListModel, aRegistryMarkMovesWithItsRowAndAskingAgainReplacesItsLine) {
    ResultListModel model;
    model.appendRows({Rows::listed(QStringLiteral("a.com")), Rows::listed(QStringLiteral("b.com")),
                      Rows::listed(QStringLiteral("c.com"))});
    model.setRegistryMark(0, ResultRow::RegistryMark::Held, QStringLiteral("first"));
    model.setRegistryMark(2, ResultRow::RegistryMark::NotHeld, QStringLiteral("<i>third</i>"));
    model.setRegistryMark(2, ResultRow::RegistryMark::Dropping, QStringLiteral("again"));
    model.removeRowsIf([](const ResultRow& row) {
        return row.cells[ResultListModel::Domain] == QStringLiteral("a.com");
    });
    EXPECT_EQ(model.row(0).registryMark, ResultRow::RegistryMark::None);
    EXPECT_TRUE(model.registryLine(0).isNull());
    EXPECT_FALSE(model.data(model.index(0, ResultListModel::Verdict), Qt::ToolTipRole).isValid());
    EXPECT_EQ(model.row(1).registryMark, ResultRow::RegistryMark::Dropping);
    EXPECT_EQ(model.registryLine(1), QStringLiteral("again"));
    EXPECT_EQ(model.row(1).registryLine, 1) << "asked again, the row keeps its slot";

    model.setEvidence(1, QDateTime(QDate(2026, 12, 9), QTime(6, 5, 4)), QStringLiteral("|210|"));
    model.setRegistryMark(1, ResultRow::RegistryMark::NotHeld, QStringLiteral("<b>x</b>"));
    const QString tip =
        model.data(model.index(1, ResultListModel::Verdict), Qt::ToolTipRole).toString();
    EXPECT_TRUE(tip.contains(QStringLiteral("服务回答：|210|\n&lt;b&gt;x&lt;/b&gt;")))
        << tip.toStdString();

    model.clear();
    model.appendRow(Rows::listed(QStringLiteral("d.com")));
    EXPECT_TRUE(model.registryLine(0).isNull());
    model.setRegistryMark(0, ResultRow::RegistryMark::NoVerdict, QStringLiteral("new"));
    EXPECT_EQ(model.row(0).registryLine, 0) << "clearing forgets every line";
}
