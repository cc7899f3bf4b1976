#pragma once

#include <string_view>

#include "cli/Cli.h"

namespace ordano::cli {

// What send and receive share: options [--wait SECONDS] [--password-stdin] [--yes] FILE...,
// the lookup of each bare name in the send folder of its kind, the toolbar action (`key`:
// "enviar" or "recibir") and, with --wait, the polling until the answers are in.
int transfer_command(const Invocation& invocation, std::string_view key);

}  // namespace ordano::cli
