// SPDX-License-Identifier: Apache-2.0
#pragma once

#include "base/Action.h"
#include "cli/Cli.h"

namespace ordano::cli {

// What send and receive share: options [--wait SECONDS] [--password-stdin] [--yes] FILE...,
// the lookup of each bare name in the send folder of its kind, the toolbar action
// (Action::Enviar or Action::Recibir) and, with --wait, the polling until the answers are in.
int transfer_command(const Invocation& invocation, Action action);

}  // namespace ordano::cli
