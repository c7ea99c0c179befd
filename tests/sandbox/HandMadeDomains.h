#pragma once

#include "sandbox/DomainCatalog.h"
#include "sandbox/FilterDomains.h"
#include "sandbox/ListQuery.h"

#include <QDate>
#include <QString>
#include <QUrlQuery>

#include <string>
#include <vector>

// A small data set whose every trait is worked out by hand, around a fixed today.
inline const QDate kToday(2026, 12, 8);

inline DeletedDomain Entry(std::string name, std::string suffix, int dayOffset,
                           DeletionType type = DeletionType::Delete, int suggestion = 0) {
    DeletedDomain domain;
    domain.name = std::move(name);
    domain.suffix = std::move(suffix);
    domain.deletionDate = kToday.addDays(dayOffset);
    domain.deletionSecond = 3600 * 13 + 60 * 5 + 9;
    domain.type = type;
    domain.suggestion = suggestion;
    return domain;
}

inline std::vector<DeletedDomain> HandMadeDomains() {
    constexpr auto pre = DeletionType::PreRelease;
    constexpr auto del = DeletionType::Delete;
    return {
        Entry("ab88", "com", -1, del, 3),
        Entry("baidu", "com", 0, pre),
        Entry("taobao", "net", 1, del, 12),
        Entry("xian", "org", -3),
        Entry("haohaoxuexue", "cn", 2, del, 5),
        Entry("aabb", "com", -2, pre),
        Entry("1212", "net", -1, del, 7),
        Entry("1221", "com", 4),
        Entry("bjsz", "cn", -5, pre, 2),
        Entry("kato", "com", 0),
        Entry("ako", "net", -4, del, 1),
        Entry("yaya", "org", 3),
        Entry("kyky", "com", -1, pre, 9),
        Entry("my-shop", "com", 0),
        Entry("12-34", "net", -2),
        Entry("shop", "org", 1, pre, 4),
    };
}

// The query as the program writes it (keys with "%5B%5D"), decoded the way the server's
// HTTP library hands it over.
inline QueryValues ValuesOf(const std::string& query) {
    const auto items = QUrlQuery(QString::fromStdString(query)).queryItems(QUrl::FullyDecoded);
    return [items](const std::string& key) {
        std::vector<std::string> values;
        for (const auto& [name, value] : items) {
            if (name.toStdString() == key)
                values.push_back(value.toStdString());
        }
        return values;
    };
}

// The names (without suffix) that the query finds, in the query's order.
inline std::vector<std::string> NamesFound(const DomainCatalog& catalog, const std::string& query) {
    std::vector<std::string> names;
    for (const DomainCatalog::Index index :
         FindMatches(catalog, ParseListQuery(ValuesOf(query)), kToday))
        names.push_back(catalog.domain(index).name);
    return names;
}
