// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "cli/Cli.h"

namespace ordano::cli {

// Each subcommand lives in a file of its own; Cli.cpp dispatches by name.
int init_command(const Invocation& invocation);
// Prints the report of a received answer, exactly as the review box shows it.
int review_command(const Invocation& invocation);
int update_catalog_command(const Invocation& invocation);
// The sending run / the manual reception for the named files; with --wait, their answers.
int send_command(const Invocation& invocation);
int receive_command(const Invocation& invocation);
// "help [COMMAND]": the general help or a command's.
int help_command(const Invocation& invocation);
// The transfer journal: every file's journey (history), the files still awaiting answers
// (pending).
int history_command(const Invocation& invocation);
int pending_command(const Invocation& invocation);
// Unattended: sends each new file of the send folders and fetches the answers, until stopped.
int watch_command(const Invocation& invocation);

}  // namespace ordano::cli
