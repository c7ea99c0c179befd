// Writes the benchmark's result page and the cells that the program reads from it, so that
// the Python peer parses the same bytes and can show that it extracted the same cells.
#include "StandInData.h"

#include "results/ResultListModel.h"
#include "search/ParseResultPage.h"

#include <fstream>
#include <iostream>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: " << argv[0] << " PAGE.html CELLS.tsv\n";
        return 2;
    }
    const std::string page = StandInData::resultPageUtf8();
    std::ofstream(argv[1], std::ios::binary) << page;

    const QString text = QString::fromUtf8(page.data(), static_cast<qsizetype>(page.size()));
    std::ofstream cells(argv[2], std::ios::binary);
    for (const ResultRow& row : ParseRows(text, 1)) {
        cells << row.cells[ResultListModel::Domain].toStdString() << '\t'
              << row.cells[ResultListModel::DeletionTime].toStdString() << '\t'
              << row.cells[ResultListModel::DeletionType].toStdString() << '\t'
              << row.cells[ResultListModel::Suggestion].toStdString() << '\n';
    }
    return cells ? 0 : 1;
}
