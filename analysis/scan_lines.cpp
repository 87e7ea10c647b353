#include "analysis/scan_lines.h"
