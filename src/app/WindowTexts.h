// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <string>
#include <string_view>

namespace ordano {

// The program's version as built.
struct Version {
    int major = ORDANO_VERSION_MAJOR;
    int minor = ORDANO_VERSION_MINOR;
    int patch = ORDANO_VERSION_PATCH;
};

// A number written with at least `width` digits, as the "0000" and "000" formats show it.
[[nodiscard]] std::string zero_padded(int number, int width);

// " PROGRAMA DE ORDANO A VALIDACIÓN - VERSIÓN 3.1.0  |  PATENTE 0015 - NOMBRE"
[[nodiscard]] std::string main_window_caption(int patente, std::string_view agente,
                                              Version version = {});

// "¿Deseas Salir del Sistema?", and while files await answers how many, and that their answers
// are fetched at the next start; with `under_way` (what is moving now, "Hay un envío en curso
// (…)"), that it is stopped safely.
[[nodiscard]] std::string exit_question(std::size_t awaiting_files,
                                        std::string_view under_way = {});

// Detener's question: "¿Deseas detener la recepción de archivos en proceso?", how many files
// leave the receive list without their answers, and how those can still be fetched.
[[nodiscard]] std::string stop_polling_question(std::size_t awaiting_files);

// Second panel of the status bar: "Día Juliano:  " and the day with three digits.
[[nodiscard]] std::string julian_day_panel(int dia_juliano);

// The review area's pattern at start-up: kind letter, patente with four digits, "*.", today's
// julian day with three digits (M0015*.033).
[[nodiscard]] std::string initial_file_pattern(std::string_view letra_tipo, int patente,
                                               int dia_juliano);

}  // namespace ordano
