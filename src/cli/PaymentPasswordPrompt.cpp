#include "cli/PaymentPasswordPrompt.h"

#include <istream>
#include <ostream>

#include "store/Session.h"
#include "store/UiPort.h"

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
        std::string line;
        std::getline(*in_, line);
        // A line written on Windows keeps its CR; it is not part of the password.
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        typed_ = line;
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
