#pragma once

#include "registry/RegistryResult.h"
#include "results/ResultListModel.h"

#include <QString>

// The mark a registry's result leaves on a row of the result list.
ResultRow::RegistryMark RegistryMarkOf(const RegistryResult& result);

// One line of plain text for the verdict cell's tooltip: "注册局：已注册 (statuses), 到期：date,
// 查询于：time". The statuses came from a registry: only so many, each only so long.
QString RegistryAnswerLine(const RegistryResult& result);
