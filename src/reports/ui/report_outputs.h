#pragma once

// The report windows' outputs are the report engine's, shared with every window that prints.
#include "print/report_outputs.h"
