#include "search/DropListReader.h"

#include "criteria/MatchNames.h"
#include "search/ListedDomainName.h"

#include <QStringDecoder>

#include <cstring>

namespace {

const QString kBinaryProblem = QStringLiteral("文件含有二进制数据，不是域名列表，已停止读取。");
const QString kNoNameColumn =
    QStringLiteral("CSV 文件的标题行中找不到域名列（列名应为“域名”、“domain”或“name”）。");
const QString kDamagedGzip = QStringLiteral("压缩文件已损坏或不完整，只读出了损坏之前的部分。");

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

QByteArrayView Trimmed(QByteArrayView text) {
    while (!text.isEmpty() && IsBlank(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && IsBlank(text.back()))
        text.chop(1);
    return text;
}

bool IsAscii(QByteArrayView text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

// Well-formed UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsUtf8(QByteArrayView text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    while (p < end) {
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int more = 0;
        unsigned char low = 0x80, high = 0xbf;
        if (c >= 0xc2 && c <= 0xdf) {
            more = 1;
        } else if (c >= 0xe0 && c <= 0xef) {
            more = 2;
            if (c == 0xe0)
                low = 0xa0;
            if (c == 0xed)
                high = 0x9f;
        } else if (c >= 0xf0 && c <= 0xf4) {
            more = 3;
            if (c == 0xf0)
                low = 0x90;
            if (c == 0xf4)
                high = 0x8f;
        } else {
            return false;
        }
        if (end - p <= more)
            return false;
        for (int i = 1; i <= more; ++i) {
            const unsigned char next = p[i];
            if (next < (i == 1 ? low : 0x80) || next > (i == 1 ? high : 0xbf))
                return false;
        }
        p += more + 1;
    }
    return true;
}

// Fields of a line of comma-separated values, quotes ("" inside them) taken away.
void SplitFields(QByteArrayView line, char delimiter, std::vector<QByteArray>& fields) {
    fields.clear();
    QByteArray field;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c != '"')
                field += c;
            else if (i + 1 < line.size() && line[i + 1] == '"')
                field += line[++i];
            else
                quoted = false;
        } else if (c == '"') {
            quoted = true;
        } else if (c == delimiter) {
            fields.push_back(field);
            field.clear();
        } else {
            field += c;
        }
    }
    fields.push_back(field);
}

int ColumnOf(const std::vector<QByteArray>& header, std::initializer_list<const char*> names) {
    for (size_t i = 0; i < header.size(); ++i) {
        const QString cell = QString::fromUtf8(Trimmed(header[i])).toLower();
        for (const char* name : names) {
            if (cell == QString::fromUtf8(name))
                return static_cast<int>(i);
        }
    }
    return -1;
}

// Digits only, 1 to "most" of them.
bool ReadNumber(QByteArrayView text, qsizetype& at, int most, int& number) {
    number = 0;
    const qsizetype start = at;
    while (at < text.size() && at - start < most && text[at] >= '0' && text[at] <= '9')
        number = number * 10 + (text[at++] - '0');
    return at > start;
}

// yyyy-m-d or yyyy/m/d, alone or followed by a time.
QDate ParseListDate(QByteArrayView text) {
    text = Trimmed(text);
    qsizetype at = 0;
    int year = 0, month = 0, day = 0;
    if (!ReadNumber(text, at, 4, year) || at != 4 || at >= text.size())
        return {};
    const char separator = text[at];
    if ((separator != '-' && separator != '/') || !ReadNumber(text, ++at, 2, month) ||
        at >= text.size() || text[at] != separator || !ReadNumber(text, ++at, 2, day))
        return {};
    if (at < text.size() && text[at] != ' ' && text[at] != 'T')
        return {};
    return QDate(year, month, day);
}

std::optional<DeletionType> ParseListType(QByteArrayView text) {
    const QByteArray type = Trimmed(text).toByteArray().toLower();
    if (type == "delete")
        return DeletionType::Delete;
    if (type == "pre-release" || type == "prerelease")
        return DeletionType::PreRelease;
    return std::nullopt;
}

} // namespace

DropListForm DropListFormOf(const QString& fileName) {
    QString name = fileName.toLower();
    if (name.endsWith(u".gz"))
        name.chop(3);
    return name.endsWith(u".csv") ? DropListForm::Csv : DropListForm::Text;
}

DropListForm DropListFormOfDownload(const QUrl& address, const QString& contentType) {
    if (DropListFormOf(address.fileName()) == DropListForm::Csv)
        return DropListForm::Csv;
    const QString type = contentType.section(u';', 0, 0).trimmed().toLower();
    return type == u"text/csv" || type == u"application/csv" ? DropListForm::Csv
                                                             : DropListForm::Text;
}

DropListReader::DropListReader(DropListForm form, NameCriteria criteria, QDate today)
    : m_form(form), m_criteria(std::move(criteria)), m_today(today) {}

std::vector<ResultRow> DropListReader::takeRows() {
    return std::exchange(m_rows, {});
}

void DropListReader::stop(const QString& problem) {
    if (m_problem.isEmpty())
        m_problem = problem;
}

bool DropListReader::feed(QByteArrayView bytes) {
    if (!m_problem.isEmpty())
        return false;
    if (m_packing == Packing::Unknown) {
        m_head.append(bytes);
        if (m_head.size() < 2)
            return true;
        m_packing = GzipInflater::looksLikeGzip(m_head) ? Packing::Gzip : Packing::Plain;
        const QByteArray head = std::exchange(m_head, {});
        return feed(head);
    }
    if (m_packing == Packing::Plain)
        return feedUnpacked(bytes);
    const auto outcome =
        m_inflater.feed(bytes, [this](QByteArrayView piece) { return feedUnpacked(piece); });
    if (outcome == GzipInflater::Outcome::Corrupt)
        stop(kDamagedGzip);
    return m_problem.isEmpty();
}

bool DropListReader::feedUnpacked(QByteArrayView bytes) {
    if (!m_problem.isEmpty())
        return false;
    if (std::memchr(bytes.data(), 0, static_cast<size_t>(bytes.size())) != nullptr) {
        stop(kBinaryProblem);
        return false;
    }
    while (!bytes.isEmpty() && m_problem.isEmpty()) {
        const qsizetype end = bytes.indexOf('\n');
        const QByteArrayView piece = end < 0 ? bytes : bytes.first(end);
        if (!m_skippingLongLine && m_partial.size() + piece.size() > kLongestLine) {
            m_skippingLongLine = true;
            m_partial.clear();
        }
        if (!m_skippingLongLine) {
            if (end >= 0 && m_partial.isEmpty()) {
                readLine(piece);
            } else {
                m_partial.append(piece);
                if (end >= 0) {
                    readLine(m_partial);
                    m_partial.clear();
                }
            }
        } else if (end >= 0) {
            m_skippingLongLine = false;
            ++m_counts.lines;
            ++m_counts.tooLong;
            m_firstLine = false;
        }
        bytes = end < 0 ? QByteArrayView() : bytes.sliced(end + 1);
    }
    return m_problem.isEmpty();
}

void DropListReader::finish() {
    if (m_packing == Packing::Unknown && !m_head.isEmpty()) {
        m_packing = Packing::Plain;
        feedUnpacked(std::exchange(m_head, {}));
    }
    if (m_packing == Packing::Gzip && m_problem.isEmpty() && !m_inflater.atMemberEnd())
        stop(kDamagedGzip);
    if (!m_problem.isEmpty())
        return;
    if (m_skippingLongLine) {
        ++m_counts.lines;
        ++m_counts.tooLong;
        m_skippingLongLine = false;
    } else if (!m_partial.isEmpty()) {
        readLine(std::exchange(m_partial, {}));
    }
}

void DropListReader::readLine(QByteArrayView line) {
    ++m_counts.lines;
    if (m_firstLine) {
        m_firstLine = false;
        if (line.startsWith("\xEF\xBB\xBF"))
            line = line.sliced(3);
    }
    line = Trimmed(line);
    if (line.isEmpty() || line.front() == '#') {
        ++m_counts.blankOrComment;
        return;
    }
    if (!IsAscii(line) && !IsUtf8(line)) {
        m_decoded = QString(m_gb18030(line)).toUtf8();
        line = m_decoded;
    }
    if (m_form == DropListForm::Text)
        keepIfWanted(line, {}, {});
    else if (!m_headerSeen)
        readHeader(line);
    else
        readCsvLine(line);
}

void DropListReader::readHeader(QByteArrayView line) {
    m_headerSeen = true;
    if (!line.contains(',')) {
        if (line.contains('\t'))
            m_delimiter = '\t';
        else if (line.contains(';'))
            m_delimiter = ';';
    }
    SplitFields(line, m_delimiter, m_fields);
    m_nameColumn =
        ColumnOf(m_fields, {"域名", "domain", "name", "domain name", "domainname", "domain_name"});
    m_dateColumn = ColumnOf(m_fields, {"删除日期", "删除时间", "date", "deletion", "deletion date",
                                       "deletion_date", "drop date"});
    m_typeColumn = ColumnOf(m_fields, {"删除类型", "type", "deletion type", "deletion_type"});
    if (m_nameColumn < 0)
        stop(kNoNameColumn);
}

void DropListReader::readCsvLine(QByteArrayView line) {
    SplitFields(line, m_delimiter, m_fields);
    const auto cell = [this](int column) {
        return column >= 0 && static_cast<size_t>(column) < m_fields.size()
                   ? QByteArrayView(m_fields[static_cast<size_t>(column)])
                   : QByteArrayView();
    };
    keepIfWanted(cell(m_nameColumn), cell(m_dateColumn), cell(m_typeColumn));
}

void DropListReader::keepIfWanted(QByteArrayView nameText, QByteArrayView dateText,
                                  QByteArrayView typeText) {
    if (!NormaliseListedName(nameText, m_name)) {
        ++m_counts.notNames;
        return;
    }
    const size_t dot = m_name.find('.');
    const std::string_view full = m_name;
    ListedName entry;
    entry.name = full.substr(0, dot);
    entry.suffix = full.substr(dot + 1);
    entry.deletionDate = m_dateColumn >= 0 ? ParseListDate(dateText) : QDate();
    entry.type = m_typeColumn >= 0 ? ParseListType(typeText) : std::nullopt;
    if (!MatchesCriteria(m_criteria, entry, m_today)) {
        ++m_counts.filteredOut;
        return;
    }
    QString domain = QString::fromStdString(m_name);
    if (m_kept.contains(domain)) {
        ++m_counts.duplicates;
        return;
    }
    m_kept.insert(domain);
    ++m_counts.kept;

    ResultRow row;
    row.cells[ResultListModel::Number] = QString::number(m_counts.kept);
    row.cells[ResultListModel::Domain] = std::move(domain);
    if (entry.deletionDate.isValid()) {
        row.cells[ResultListModel::DeletionTime] =
            entry.deletionDate.toString(QStringLiteral("yyyy-MM-dd"));
        row.deletionDay = ResultRow::dayOf(entry.deletionDate);
    }
    if (entry.type)
        row.cells[ResultListModel::DeletionType] = *entry.type == DeletionType::PreRelease
                                                       ? QStringLiteral("Pre-Release")
                                                       : QStringLiteral("Delete");
    m_rows.push_back(std::move(row));
}
