#include "DailyLists.h"

namespace {

template <typename Write>
void ForEachOfTheDay(const DomainCatalog& catalog, const QDate& day, Write write) {
    for (const DomainCatalog::Index index : catalog.order(SortOrder::Letters)) {
        const DeletedDomain& domain = catalog.domain(index);
        if (domain.deletionDate == day)
            write(domain);
    }
}

} // namespace

std::string DailyListText(const DomainCatalog& catalog, const QDate& day) {
    std::string text = "# " + day.toString(Qt::ISODate).toStdString() + "\n";
    ForEachOfTheDay(catalog, day, [&text](const DeletedDomain& domain) {
        text += domain.fullName();
        text += '\n';
    });
    return text;
}

std::string DailyListCsv(const DomainCatalog& catalog, const QDate& day) {
    std::string text = "域名,删除日期,删除类型\n";
    const std::string date = day.toString(Qt::ISODate).toStdString();
    ForEachOfTheDay(catalog, day, [&](const DeletedDomain& domain) {
        text += domain.fullName();
        text += ',';
        text += date;
        text += ',';
        text += DeletionTypeText(domain.type);
        text += '\n';
    });
    return text;
}
