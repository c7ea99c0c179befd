// The page writer is built into the shared test support library (support/ListPages.cpp). This
// file is left empty for build lists that still name it, so that nothing is defined twice.
#include "support/ListPages.h"
