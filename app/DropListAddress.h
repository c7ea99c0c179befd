#pragma once

#include "web/FileDownload.h"

#include <QString>
#include <QUrl>

// The address a user typed for a drop list, made whole: surrounding blanks go, and a bare
// "example.com/list.txt" is read as http. Invalid when it is not an http or https address with
// a host.
QUrl DropListAddressOf(const QString& typed);

// The user's message for a download that did not bring a list, in plain words.
QString DownloadProblemText(const DownloadOutcome& outcome);
