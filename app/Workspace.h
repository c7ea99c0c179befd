#pragma once

class Closing;
class ResultListModel;
class StatusLine;

// What an operation works on: the result list, the status line, and the closing signal that
// ends its waits. The window owns all three; tests make their own.
struct Workspace {
    ResultListModel& rows;
    StatusLine& status;
    const Closing& closing;
};
