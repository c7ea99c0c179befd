#pragma once

#include <QString>

struct Workspace;

// Asks about the name of every row, top to bottom, pausing 100 ms after each.
void VerifyListedDomains(const QString& checkBase, Workspace& workspace);

// The same, for the rows that have no verdict yet (after a time-out or a refusal).
void VerifyUncheckedDomains(const QString& checkBase, Workspace& workspace);

// Keeps only the rows found free and numbers them afresh. Lets no events through.
void FilterRegistered(Workspace& workspace);
