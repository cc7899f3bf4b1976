// SPDX-License-Identifier: Apache-2.0
#include "cli/HelpText.h"

#include <algorithm>
#include <sstream>
#include <string_view>

#include "cli/CommandTable.h"
#include "cli/ExitCodes.h"

namespace ordano::cli {
namespace {

constexpr std::size_t kWidth = 80;

// Characters, not bytes, so that accented texts line up.
std::size_t columns(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

// `head` padded to `indent` columns, then `text` wrapped at word boundaries, each further
// line indented by `indent`.
std::string hanging(std::string_view head, std::size_t indent, std::string_view text) {
    std::string out(head);
    std::size_t column = columns(head);
    if (column >= indent) {
        out += "\n";
        column = 0;
    }
    out.append(indent - column, ' ');
    column = indent;
    std::istringstream words{std::string(text)};
    bool first = true;
    for (std::string word; words >> word;) {
        if (!first && column + 1 + columns(word) > kWidth) {
            out += "\n" + std::string(indent, ' ');
            column = indent;
        } else if (!first) {
            out += ' ';
            ++column;
        }
        out += word;
        column += columns(word);
        first = false;
    }
    return out + "\n";
}

std::string option_head(const OptionSpec& option) {
    std::string head = "  ";
    head += option.short_name.empty() ? "    " : std::string(option.short_name) + ", ";
    head += option.name;
    if (!option.value.empty()) {
        head += " " + std::string(option.value);
    }
    return head;
}

std::string option_lines(std::span<const OptionSpec> options) {
    std::string out;
    for (const OptionSpec& option : options) {
        out += hanging(option_head(option), 28, option.help);
    }
    return out;
}

std::string examples(std::span<const std::string_view> lines) {
    std::string out = "\nEjemplos:\n";
    for (const auto line : lines) {
        out += "  " + std::string(line) + "\n";
    }
    return out;
}

std::string command_usage(const CommandSpec& command) {
    std::string usage = "ordano-cli " + std::string(command.name);
    if (!command.options.empty()) {
        usage += " [OPCIONES]";
    }
    if (!command.operands.empty()) {
        usage += " " + std::string(command.operands);
    }
    return usage;
}

std::string exit_codes() {
    std::string out = "\nEstado de salida:\n";
    for (const ExitCodeRow& row : exit_code_table()) {
        out += hanging("  " + std::to_string(row.code), 8, row.meaning);
    }
    std::string order;
    for (const int code : exit_code_precedence()) {
        order += (order.empty() ? "" : ", ") + std::to_string(code);
    }
    out += hanging("", 2,
                   "Si fallan archivos por causas distintas, el estado es el de la causa que va "
                   "primero en este orden: " +
                       order +
                       ". Una orden detenida por una señal termina con 130 o 143 sea cual sea "
                       "el resultado.");
    return out;
}

}  // namespace

std::string general_help() {
    std::string out =
        "Uso: ordano-cli [OPCIONES GENERALES] ORDEN [OPCIONES] [ARGUMENTOS]\n\n"
        "Ordano sin ventana, para guiones y tareas programadas: envía los archivos del día al\n"
        "servidor de validación, recibe sus respuestas, muestra sus informes y actualiza el\n"
        "catálogo de errores.\n\nÓrdenes:\n";
    for (const CommandSpec& command : commands()) {
        out += hanging("  " + std::string(command.name), 18, command.summary);
    }
    out += "\nOpciones generales (antes o después de la orden):\n";
    out += option_lines(global_options());
    out += hanging("", 2,
                   "Las opciones con valor se escriben --opción VALOR o --opción=VALOR; «--» "
                   "termina las opciones.");
    out += exit_codes();
    out += examples(std::array{
        std::string_view("ordano-cli --ini /srv/oficina/Ordano.ini send --wait 600 M0015001.123"),
        std::string_view("ordano-cli review M0015001.err"),
        std::string_view("ordano-cli help send"),
    });
    out += "\nLa ayuda de cada orden: «ordano-cli ORDEN --help». Manual: ordano-cli(1).\n";
    return out;
}

std::string command_help(const CommandSpec& command) {
    std::string out =
        "Uso: " + command_usage(command) + "\n\n" + std::string(command.description) + "\n";
    if (!command.options.empty()) {
        out += "\nOpciones:\n" + option_lines(command.options);
    }
    out += hanging("", 2,
                   "Además, las opciones generales --ini, --root, -q, -v; el estado de salida de "
                   "cada causa, en «ordano-cli --help».");
    out += examples(command.examples);
    return out;
}

std::string usage_line(const CommandSpec* command) {
    if (command == nullptr) {
        return "uso: ordano-cli [OPCIONES GENERALES] ORDEN [OPCIONES] [ARGUMENTOS]\n"
               "Más información: «ordano-cli --help».\n";
    }
    return "uso: " + command_usage(*command) + "\nMás información: «ordano-cli " +
           std::string(command->name) + " --help».\n";
}

}  // namespace ordano::cli
