// SPDX-License-Identifier: Apache-2.0
#include "cli/PaymentPasswordPrompt.h"

#include <istream>
#include <ostream>

#include "base/UiPort.h"
#include "cli/StdinLine.h"
#include "office/Session.h"

namespace ordano::cli {

PaymentPasswordPrompt::PaymentPasswordPrompt(const Sesion& session, UiPort& ui, std::istream* in,
                                             std::ostream& err)
    : session_(session), ui_(ui), in_(in), err_(err) {}

bool PaymentPasswordPrompt::ask() {
    if (in_ == nullptr) {
        err_ << "Se requiere la contraseña de pago electrónico; désela con --password-stdin.\n";
        refused_ = true;
        return false;
    }
    if (!typed_) {
        typed_ = read_secret_line(*in_).value_or(std::string());
    }
    // Compared against the password held now: a sending run may have just read it from the
    // server.
    if (*typed_ == session_.pass_ban) {
        return true;
    }
    ui_.message("Contraseña de pago electrónico no válida", MessageIcon::Critical,
                MessageButtons::Ok);
    refused_ = true;
    return false;
}

}  // namespace ordano::cli
