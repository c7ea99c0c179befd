#include "MainWindowFixture.h"

#include "results/ExportRows.h"

#include <QClipboard>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

ResultRow row(const QString& number, const QString& domain, const QString& type = QString(),
              ResultRow::Verdict verdict = ResultRow::Verdict::None) {
    ResultRow r;
    r.cells[ResultListModel::Number] = number;
    r.cells[ResultListModel::Domain] = domain;
    r.cells[ResultListModel::DeletionType] = type;
    r.verdict = verdict;
    return r;
}

QString decoded(const QByteArray& csv) {
    return QString::fromUtf8(csv.mid(3));
}

} // namespace

TEST(ExportRows, writesABomTheChineseHeadersAndEveryRowInOrder) {
    ResultListModel model;
    model.appendRows({row(QStringLiteral("1"), QStringLiteral("ab88.com"), QStringLiteral("Delete"),
                          ResultRow::Verdict::Free),
                      row(QStringLiteral("2"), QStringLiteral("cd.net")),
                      row(QStringLiteral("3"), QStringLiteral("ef.org"), QStringLiteral("已被注册"),
                          ResultRow::Verdict::Registered)});
    const QByteArray csv = RowsAsCsv(model);
    ASSERT_TRUE(csv.startsWith("\xEF\xBB\xBF"));
    EXPECT_EQ(decoded(csv), QStringLiteral("序号,域名,删除时间,删除类型,百度建议,是否已被注册\r\n"
                                           "1,ab88.com,,Delete,,未被注册---OK\r\n"
                                           "2,cd.net,,,,\r\n"
                                           "3,ef.org,,已被注册,,已被注册\r\n"));
}

TEST(ExportRows, quotesWhatMustBeQuotedAndDefusesFormulas) {
    ResultListModel model;
    ResultRow quoted =
        row(QStringLiteral("1"), QStringLiteral("a,b \"c\""), QStringLiteral("=HYPERLINK(\"x\")"));
    quoted.cells[ResultListModel::Suggestion] = QStringLiteral("line\nbreak");
    model.appendRow(std::move(quoted));
    const QString text = decoded(RowsAsCsv(model));
    EXPECT_TRUE(text.endsWith(
        QStringLiteral("1,\"a,b \"\"c\"\"\",,\"'=HYPERLINK(\"\"x\"\")\",\"line\nbreak\",\r\n")))
        << text.toStdString();
}

TEST(ExportRows, aFileThatCannotBeWrittenGivesAnErrorAndLeavesNothing) {
    ResultListModel model;
    model.appendRow(row(QStringLiteral("1"), QStringLiteral("a.com")));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing/folder/out.csv"));
    EXPECT_FALSE(WriteRowsCsv(model, path).isEmpty());
    EXPECT_FALSE(QFile::exists(path));

    const QString good = dir.filePath(QStringLiteral("out.csv"));
    EXPECT_TRUE(WriteRowsCsv(model, good).isEmpty());
    QFile file(good);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), RowsAsCsv(model));
}

TEST(ExportRows, theMenuOffersExportAndCopiesTheSelectedNamesInListOrder) {
    MainWindow form(testConfig());
    form.rows().appendRows({row(QStringLiteral("1"), QStringLiteral("a.com")),
                            row(QStringLiteral("2"), QStringLiteral("b.com")),
                            row(QStringLiteral("3"), QStringLiteral("c.com"))});
    std::unique_ptr<QMenu> menu(form.buildResultListMenu());
    QStringList texts;
    for (QAction* action : menu->actions())
        texts << action->text();
    EXPECT_TRUE(texts.contains(QStringLiteral("导出为CSV...")));
    EXPECT_TRUE(texts.contains(QStringLiteral("复制域名")));

    auto* view = form.controls().resultView;
    view->selectionModel()->select(form.rows().index(2, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    view->selectionModel()->select(form.rows().index(0, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    form.copySelectedDomains();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("a.com\nc.com"));
}
