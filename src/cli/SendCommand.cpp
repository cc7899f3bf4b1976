// SPDX-License-Identifier: Apache-2.0
#include "cli/Commands.h"
#include "cli/TransferCommand.h"

namespace ordano::cli {

// "Enviar/Recibir" for the named files: the sending run, then the answers with --wait.
int send_command(const Invocation& invocation) {
    return transfer_command(invocation, Action::Enviar);
}

}  // namespace ordano::cli
