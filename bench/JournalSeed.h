// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <chrono>
#include <filesystem>

namespace ordano::bench {

// A new office database under `folder` whose journal holds `rows` entries, `per_day` a day on
// the days before and including `last_day`, of every kind and status, answers and failures.
// Returns the database file.
std::filesystem::path seed_journal(const std::filesystem::path& folder, int rows, int per_day,
                                   std::chrono::year_month_day last_day);

}  // namespace ordano::bench
