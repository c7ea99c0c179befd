#pragma once

#include <QString>

struct Workspace;

// Checks one typed name and appends it with its verdict, numbered after the wait.
void VerifyTargetDomain(const QString& checkBase, const QString& name, Workspace& workspace);
