#include "app/WindowTexts.h"

#include <string>

#include "store/UiPort.h"

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

std::string julian_day_panel(int dia_juliano) {
    return "Día Juliano:  " + zero_padded(dia_juliano, 3);
}

std::string initial_file_pattern(std::string_view letra_tipo, int patente, int dia_juliano) {
    std::string pattern(letra_tipo);
    pattern += zero_padded(patente, 4) + "*." + zero_padded(dia_juliano, 3);
    return pattern;
}

}  // namespace ordano
