// SPDX-License-Identifier: Apache-2.0
#include "cli/Commands.h"
#include "cli/TransferCommand.h"

namespace ordano::cli {

// "Recibir" for files already on the server: manual reception, then the answers with --wait.
int receive_command(const Invocation& invocation) {
    return transfer_command(invocation, Action::Recibir);
}

}  // namespace ordano::cli
