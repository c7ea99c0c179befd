#include "registry/WhoisAnswer.h"

#include "registry/RdapAnswer.h"

#include <QTimeZone>
#include <QUrl>

#include <array>

namespace {

constexpr qsizetype kMaxStatuses = 32;
constexpr qsizetype kMaxStatusLength = 100;

// Parts of the refusals registries send to clients that ask too often ("WHOIS LIMIT EXCEEDED",
// "Your connection limit exceeded", "Look up quota exceeded", "Query rate exceeded, please try
// again later", ...), compared without regard to case.
constexpr std::array<QStringView, 5> kRefusalTexts = {u"limit exceeded", u"quota exceeded",
                                                      u"rate exceeded", u"exceeded the query limit",
                                                      u"exceeded the maximum allowable"};

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

// Runs of blanks as one space, so that "Status:\tfree" holds "Status: free".
QString collapseBlanks(QStringView text) {
    QString collapsed;
    collapsed.reserve(text.size());
    bool inBlanks = false;
    for (const QChar c : text) {
        if (isBlank(c)) {
            if (!inBlanks)
                collapsed.append(u' ');
            inBlanks = true;
        } else {
            collapsed.append(c);
            inBlanks = false;
        }
    }
    return collapsed;
}

bool isNameChar(QChar c) {
    return c.isLetterOrNumber() || c == u'-';
}

// The name as a whole name: not the tail of a longer one ("xexample.com", "www.example.com")
// nor the head of one ("example.com-shop").
bool namesDomain(QStringView text, QStringView name) {
    if (name.isEmpty())
        return false;
    for (qsizetype at = text.indexOf(name, 0, Qt::CaseInsensitive); at >= 0;
         at = text.indexOf(name, at + 1, Qt::CaseInsensitive)) {
        const bool startsClean = at == 0 || (!isNameChar(text[at - 1]) && text[at - 1] != u'.');
        const qsizetype end = at + name.size();
        const bool endsClean = end == text.size() || !isNameChar(text[end]);
        if (startsClean && endsClean)
            return true;
    }
    return false;
}

// The value after "Label:" when the line starts with it (in any case), else nothing.
std::optional<QStringView> valueAfter(QStringView line, QStringView label) {
    if (!line.startsWith(label, Qt::CaseInsensitive))
        return std::nullopt;
    return line.mid(label.size()).trimmed();
}

// "clientHold https://icann.org/epp#clientHold" and "ok (..)" keep the code alone.
QString statusOf(QStringView value) {
    const qsizetype space = value.indexOf(u' ');
    if (space > 0) {
        const QStringView rest = value.mid(space + 1).trimmed();
        if (rest.startsWith(u"http", Qt::CaseInsensitive) || rest.startsWith(u'('))
            value = value.left(space);
    }
    return value.left(kMaxStatusLength).toString();
}

void readHeldDetails(QStringView text, RegistryResult& result) {
    static constexpr std::array<QStringView, 2> statusLabels = {u"Domain Status:", u"Status:"};
    // CNNIC writes "Expiration Time: 2026-09-27 09:00:00", in Beijing time.
    static constexpr std::array<QStringView, 4> expiryLabels = {
        u"Registry Expiry Date:", u"Expiration Date:", u"Expiry Date:", u"Expiration Time:"};
    for (QStringView line : text.tokenize(u'\n')) {
        line = line.trimmed();
        for (const QStringView label : statusLabels) {
            const auto value = valueAfter(line, label);
            if (value && !value->isEmpty() && result.statuses.size() < kMaxStatuses) {
                result.statuses.append(statusOf(*value));
                break;
            }
        }
        if (result.events.expiration.isValid())
            continue;
        for (const QStringView label : expiryLabels) {
            const auto value = valueAfter(line, label);
            if (value && value->size() <= 64) {
                QDateTime date = QDateTime::fromString(value->toString(), Qt::ISODateWithMs);
                if (date.isValid() && label == u"Expiration Time:")
                    date.setTimeZone(QTimeZone(8 * 3600));
                if (date.isValid())
                    result.events.expiration = date.toUTC();
                break;
            }
        }
    }
}

} // namespace

RegistryResult ReadWhoisAnswer(QByteArrayView answer, const QString& asciiName,
                               const QStringList& notFoundTexts, const QDateTime& now) {
    RegistryResult result =
        NoVerdictResult(NoVerdictReason::Unreadable, RegistryProtocol::Whois, now);
    result.domain = asciiName;
    if (answer.size() > kMaxWhoisBytes)
        return result;
    const QString text = QString::fromUtf8(answer);
    if (text.trimmed().isEmpty())
        return result;

    for (const QStringView refusal : kRefusalTexts) {
        if (text.contains(refusal, Qt::CaseInsensitive)) {
            result.reason = NoVerdictReason::Refused;
            result.refusalWait = kDefaultRetryAfter;
            result.askAgainAt = now.addSecs(kDefaultRetryAfter.count());
            return result;
        }
    }
    const QString collapsed = collapseBlanks(text);
    for (const QString& notFound : notFoundTexts) {
        const QString wanted = collapseBlanks(notFound);
        if (!wanted.isEmpty() && collapsed.contains(wanted)) {
            result.verdict = RegistryVerdict::NotHeld;
            result.reason = NoVerdictReason::None;
            return result;
        }
    }
    const QString unicodeName = QUrl::fromAce(asciiName.toLatin1());
    if (!namesDomain(text, asciiName) && !namesDomain(text, unicodeName))
        return result;
    readHeldDetails(text, result);
    result.verdict = HeldVerdictOf(result.statuses);
    result.reason = NoVerdictReason::None;
    return result;
}
