// SPDX-License-Identifier: Apache-2.0
#pragma once

namespace ordano {

struct TransferContext;

// "Recibir": hands the pending entries of the send list to reception as files already on the
// server (no upload, no julian-day test), then switches the polling on. Electronic-payment
// entries go only once the payment password is accepted.
void Recibe_Manual(TransferContext& context);

}  // namespace ordano
