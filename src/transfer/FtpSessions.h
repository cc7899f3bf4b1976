#pragma once

#include "transfer/FtpSession.h"

namespace ordano {

// The main window's session for the bulletin and the payment-password traffic. The other
// users of the server keep their own: the sending run eftpEnvio, the polling eftpRecepcion,
// the catalogue update eftpActCatErr, so sessions never mix.
struct FtpSessions {
    FtpSession eftpPrincipal{"eftpPrincipal"};
};

}  // namespace ordano
