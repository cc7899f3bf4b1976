// SPDX-License-Identifier: Apache-2.0
#include "app/WindowTexts.h"

#include <string>

#include "base/UiPort.h"
#include "transfer/TransferDesk.h"

namespace ordano {

std::string zero_padded(int number, int width) {
    std::string digits = std::to_string(number < 0 ? -static_cast<long long>(number) : number);
    if (static_cast<int>(digits.size()) < width) {
        digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
    }
    return number < 0 ? "-" + digits : digits;
}

std::string main_window_caption(int patente, std::string_view agente, Version version) {
    std::string caption(kProductName);
    caption += " - VERSIÓN " + std::to_string(version.major) + "." + std::to_string(version.minor) +
               "." + std::to_string(version.patch);
    caption += "  |  PATENTE " + zero_padded(patente, 4) + " - ";
    caption += agente;
    return caption;
}

std::string exit_question(std::size_t awaiting_files, std::string_view under_way) {
    std::string question = "¿Deseas Salir del Sistema?";
    if (!under_way.empty()) {
        question += "\r\n\r\n" + std::string(under_way) +
                    ". Se detendrá de forma segura: lo que esté a medio transferir se cancela y "
                    "no queda a medias ni en el servidor ni en este equipo.";
    }
    if (awaiting_files == 1) {
        question +=
            "\r\n\r\n1 archivo espera respuesta; su respuesta se recibirá la próxima vez "
            "que inicies el programa.";
    } else if (awaiting_files > 1) {
        question += "\r\n\r\n" + std::to_string(awaiting_files) +
                    " archivos esperan respuesta; sus respuestas se recibirán la próxima vez que "
                    "inicies el programa.";
    }
    return question;
}

std::string stop_polling_question(std::size_t awaiting_files) {
    std::string question(kStopPollingQuestion);
    if (awaiting_files == 1) {
        question +=
            "\r\n\r\n1 archivo dejará la lista de recepción sin las respuestas que espera. "
            "Podrás recibirlas después: vuelve a poner el archivo en la lista de envío y oprime "
            "«Recibir».";
    } else if (awaiting_files > 1) {
        question += "\r\n\r\n" + std::to_string(awaiting_files) +
                    " archivos dejarán la lista de recepción sin las respuestas que esperan. "
                    "Podrás recibirlas después: vuelve a poner los archivos en la lista de envío y "
                    "oprime «Recibir».";
    }
    return question;
}

std::string julian_day_panel(int dia_juliano) {
    return "Día Juliano:  " + zero_padded(dia_juliano, 3);
}

std::string initial_file_pattern(std::string_view letra_tipo, int patente, int dia_juliano) {
    std::string pattern(letra_tipo);
    pattern += zero_padded(patente, 4) + "*." + zero_padded(dia_juliano, 3);
    return pattern;
}

}  // namespace ordano
