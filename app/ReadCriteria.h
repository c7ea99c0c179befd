#pragma once

#include "search/SearchCriteria.h"

struct Form1Controls;

// The criteria panel as it stands at this moment.
SearchCriteria ReadCriteria(const Form1Controls& controls);
