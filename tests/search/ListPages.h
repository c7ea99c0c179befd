#pragma once

// The page writer now lives in the shared test support; this header stays only for files that
// still include it by its old path.
#include "support/ListPages.h"
