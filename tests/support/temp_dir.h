#pragma once
// The scratch directory of the tests: the one shared with the benchmarks.

#include "base/temp_dir.h"

namespace quillet::testing {

using TempDir = base::TempDir;

}  // namespace quillet::testing
