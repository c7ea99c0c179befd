#pragma once

#include "criteria/NameCriteria.h"
#include "results/ResultListModel.h"
#include "search/GzipInflater.h"

#include <QByteArray>
#include <QDate>
#include <QSet>
#include <QString>
#include <QStringDecoder>
#include <QUrl>

#include <string>
#include <vector>

// A drop list: one name a line, or a table with a header row.
enum class DropListForm { Text, Csv };

// ".csv" (also packed, ".csv.gz") is a table; anything else one name a line.
DropListForm DropListFormOf(const QString& fileName);
// A download's form: by the address's file name, else a table when the server calls it CSV.
DropListForm DropListFormOfDownload(const QUrl& address, const QString& contentType);

// What became of the lines read.
struct DropListCounts {
    qint64 lines = 0;          // every line, the header included
    qint64 blankOrComment = 0; // blank lines and lines starting with "#"
    qint64 notNames = 0;       // lines (or name cells) that hold no domain name
    qint64 tooLong = 0;        // lines longer than kLongestLine, skipped unread
    qint64 duplicates = 0;     // names already kept
    qint64 filteredOut = 0;    // names the criteria leave out
    qint64 kept = 0;
};

// Reads a drop list from its bytes as they come, a piece at a time, with bounded memory
// whatever the size: gzip-packed or not (told by the content), UTF-8 with or without a byte
// order mark, or GB18030 where a line is not UTF-8. Keeps each name that the criteria select
// once, as a result row; the rows wait here until taken.
class DropListReader {
public:
    static constexpr qsizetype kLongestLine = 16 * 1024;

    DropListReader(DropListForm form, NameCriteria criteria, QDate today);

    // False once reading has stopped on a problem; more bytes are then ignored.
    bool feed(QByteArrayView bytes);
    // The end of the input: reads a last line without a line break, and notices a cut-off
    // packed file.
    void finish();

    std::vector<ResultRow> takeRows();
    const DropListCounts& counts() const { return m_counts; }
    // Empty while reading goes well; otherwise why it stopped, for the user.
    const QString& problem() const { return m_problem; }

private:
    bool feedUnpacked(QByteArrayView bytes);
    void readLine(QByteArrayView line);
    void readHeader(QByteArrayView line);
    void readCsvLine(QByteArrayView line);
    void keepIfWanted(QByteArrayView nameText, QByteArrayView dateText, QByteArrayView typeText);
    void stop(const QString& problem);

    DropListForm m_form;
    NameCriteria m_criteria;
    QDate m_today;

    enum class Packing { Unknown, Plain, Gzip } m_packing = Packing::Unknown;
    QByteArray m_head; // the first bytes, until the packing is known
    GzipInflater m_inflater;

    QByteArray m_partial; // the line read so far
    bool m_skippingLongLine = false;
    bool m_firstLine = true;
    QStringDecoder m_gb18030{"GB18030", QStringDecoder::Flag::Stateless};
    QByteArray m_decoded; // a line turned from GB18030 into UTF-8

    bool m_headerSeen = false;
    char m_delimiter = ',';
    int m_nameColumn = -1;
    int m_dateColumn = -1;
    int m_typeColumn = -1;
    std::vector<QByteArray> m_fields;

    std::string m_name;
    QSet<QString> m_kept;
    std::vector<ResultRow> m_rows;
    DropListCounts m_counts;
    QString m_problem;
};
