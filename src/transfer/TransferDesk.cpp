#include "transfer/TransferDesk.h"

#include "store/UiPort.h"
#include "transfer/FtpRoutines.h"
#include "transfer/ManualReception.h"

namespace ordano {

TransferDesk::TransferDesk(Sesion& session, const ParametersRecord& params, UiPort& ui,
                           const Clock& clock, LocaleFormats locale,
                           SendingRun::BulletinRefresh refresh_bulletin)
    : context_{session, params, ui, clock, std::move(locale), send_, receive_, timer_},
      sending_(context_, std::move(refresh_bulletin)),
      poller_(context_) {}

void TransferDesk::Ejecuta_Accion(std::string_view key) {
    if (key == "enviar") {
        sending_.run();
    } else if (key == "recibir") {
        // While the sending run waits it owns the pending entries.
        if (!sending_.running()) {
            Recibe_Manual(context_);
        }
    } else if (key == "detener") {
        detener();
    }
    if (!sending_.running()) {
        Desconecta_FTP(sending_.session(), context_.ui);
    }
}

void TransferDesk::detener() {
    if (!timer_.enabled()) {
        return;
    }
    if (context_.ui.message("¿Deseas detener la recepción de archivos en proceso?",
                            MessageIcon::Question, MessageButtons::YesNo) != MessageAnswer::Yes) {
        return;
    }
    timer_.set_enabled(false);
    poller_.stop();
    receive_.clear();
}

}  // namespace ordano
