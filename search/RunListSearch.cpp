#include "search/RunListSearch.h"

#include "results/FetchStatus.h"
#include "results/StatusLine.h"
#include "results/Workspace.h"
#include "search/BuildListQuery.h"
#include "search/ParseResultPage.h"
#include "web/Closing.h"
#include "web/FetchPage.h"

#include <algorithm>

namespace {

constexpr QStringView kStarting = u"状态：开始读取域名列表...";
constexpr QStringView kFirstPageMissing = u"状态：获取域名列表失败！";
constexpr QStringView kNothingFound = u"状态：未找到符合条件的域名。";
constexpr QStringView kFinished = u"状态：域名列表读取已完成。";

// The list service's own wording on a page without results.
constexpr QStringView kNoResultPage = u"没有找到相关的结果";

QString pageAddress(const QString& query, int page) {
    return query + u"&page=" + QString::number(page);
}

// The page's text, empty after a time-out or failure, which the status line has been told.
QString fetchReported(const QString& address, Workspace& workspace) {
    const FetchOutcome outcome = FetchPage(address, workspace.closing, workspace.fetchTimeLimit);
    ReportFetchOutcome(workspace.status, outcome);
    return outcome.text;
}

} // namespace

void RunListSearch(const QString& listBase, const SearchCriteria& criteria, Workspace& workspace) {
    if (workspace.closing.isClosing())
        return;
    workspace.status.setText(kStarting.toString());
    const QString query = BuildListQuery(listBase, criteria);

    const QString firstPage = fetchReported(query, workspace);
    // Once the window closes, every later request would come back empty at once: stop here,
    // without another request or status text.
    if (workspace.closing.isClosing())
        return;
    if (firstPage.isEmpty()) {
        workspace.status.setText(kFirstPageMissing.toString());
        return;
    }
    if (firstPage.contains(kNoResultPage)) {
        workspace.status.setText(kNothingFound.toString());
        return;
    }

    const int pageCount = ParseResultPage(firstPage, true, workspace.rows);
    const int pagesToRead = std::max(pageCount, 1);
    workspace.reportProgress(1, pagesToRead);
    // A stop request ends the walk after the page in flight, as if that page had been the last.
    for (int page = 2; page <= pageCount && !workspace.stopRequested; ++page) {
        const QString text = fetchReported(pageAddress(query, page), workspace);
        if (workspace.closing.isClosing())
            return;
        // A later page is parsed whatever it holds: an empty or foreign page has no rows.
        ParseResultPage(text, false, workspace.rows);
        workspace.reportProgress(page, pagesToRead);
    }
    workspace.status.setText(kFinished.toString());
}
