// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <stop_token>

namespace ordano {

class ReceptionIntake;
class SendList;
class SendingJournal;
class UiPort;
struct Sesion;

// "Recibir": hands the pending entries of `send` to `reception` as files already on the server
// (no upload, no julian-day test), telling `journal` of each, then switches the polling on.
// Electronic-payment entries go only once the payment password is accepted (`session` keeps
// the answer). Ends with RunStopped when a stop is requested on `stop`.
void receive_by_hand(Sesion& session, UiPort& ui, SendList& send, SendingJournal& journal,
                     ReceptionIntake& reception, const std::stop_token& stop);

}  // namespace ordano
