// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <iosfwd>
#include <optional>
#include <string>

namespace ordano {
class UiPort;
struct Sesion;
}  // namespace ordano

namespace ordano::cli {

// The payment-password prompt of ordano-cli. With --password-stdin the password is one line of
// standard input, read the first time it is asked for and accepted when it equals pass_ban
// exactly, as the window's "Aceptar" does; a mismatch is told with the window's own message.
// Without it the prompt is refused with a note on how to give the password.
class PaymentPasswordPrompt {
public:
    PaymentPasswordPrompt(const Sesion& session, UiPort& ui, std::istream* in, std::ostream& err);

    // The prompt; true when accepted.
    bool ask();
    // The password was asked for and not accepted at least once.
    [[nodiscard]] bool refused() const { return refused_; }

private:
    const Sesion& session_;
    UiPort& ui_;
    std::istream* in_;
    std::ostream& err_;
    std::optional<std::string> typed_;
    bool refused_ = false;
};

}  // namespace ordano::cli
