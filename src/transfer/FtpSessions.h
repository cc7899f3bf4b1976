#pragma once

#include "transfer/FtpSession.h"

namespace ordano {

// The main window's FTP sessions, one per user of the server, so that the sending run, the
// reception polling and the bulletin/payment-password traffic never share a session.
// (The catalogue-update window keeps its own, eftpActCatErr.)
struct FtpSessions {
    FtpSession eftpEnvio{"eftpEnvio"};
    FtpSession eftpRecepcion{"eftpRecepcion"};
    FtpSession eftpPrincipal{"eftpPrincipal"};
};

}  // namespace ordano
