// SPDX-License-Identifier: Apache-2.0
// "X" (SAGARPA), "P" and "Q" answers: lines whose first character, in upper case, says what
// they hold, with data in fields separated by "|". Every line is read on its own: a field a
// line does not reach is shown empty.
#include <cctype>

#include "review/Amounts.h"
#include "review/RecordRules.h"

namespace ordano::review {
namespace {

char line_kind(std::string_view line) {
    return line.empty() ? '\0'
                        : static_cast<char>(std::toupper(static_cast<unsigned char>(line.front())));
}

// The description after an error line, or a single blank line when there is none.
void describe_or_blank(const std::optional<std::string>& description, RenderContext& context) {
    if (description) {
        context.out.text("Descripción: ").text(*description).crlf().crlf();
    } else {
        context.out.crlf();
    }
}

void render_x_result(const BarFields& fields, RenderContext& context) {
    context.out.text("ID. Operación: ")
        .copy(fields[3])
        .text("     Resultado: ")
        .copy(fields.tail())
        .crlf()
        .crlf();
}

void render_x_error(const BarFields& fields, RenderContext& context) {
    const IntField type = read_int(fields[2]);
    const IntField code = read_int(fields[3]);
    context.out.text("Error   Tipo: ")
        .text(type.shown)
        .text("    Código: ")
        .text(code.shown)
        .text("    Línea: ")
        .text(read_int(fields[4]).shown)
        .text("    Registro: ")
        .copy(fields[5])
        .crlf();
    std::optional<std::string> description;
    if (type.value && code.value) {
        description =
            context.catalog.find([&](Catalog& c) { return c.erroress(*type.value, *code.value); });
    }
    describe_or_blank(description, context);
}

void render_p_accepted(const BarFields& fields, RenderContext& context) {
    // Pedimento, signature and amount sit at fixed positions of the first field, which, like
    // every field, counts only with its closing "|".
    const std::string_view head = fields[1];
    context.out.text("Pedimento: ")
        .copy(positions(head, 2, 8))
        .text("     Firma: ")
        .copy(positions(head, 9, 16))
        .text("     Importe :")
        .text(peso_amount(positions(head, 31, 40), context.locale))
        .crlf();
    context.out.text("RFC: ").copy(fields[2]).text("     NOMBRE: ").copy(fields[3]).crlf();
    context.out.text("DOMICILIO: ").copy(fields[4]).text("   ").copy(fields[5]).crlf();
    context.out.text("CIUDAD   : ").copy(fields[6]).text("   ").copy(fields[7]).crlf().crlf();
}

void render_p_error(std::string_view line, RenderContext& context) {
    context.out.text("Pedimento: ")
        .copy(positions(line, 2, 8))
        .text("     Error  Registro: ")
        .copy(positions(line, 9, 10))
        .text("    Campo: ")
        .copy(positions(line, 11, 12))
        .text("    Número: ")
        .copy(positions(line, 13, 15))
        .crlf();
    const IntField number = read_int(positions(line, 13, 15));
    std::optional<std::string> description;
    if (number.value) {
        description = context.catalog.find([&](Catalog& c) { return c.erroresa(*number.value); });
    }
    describe_or_blank(description, context);
}

void render_q_accepted(const BarFields& fields, RenderContext& context) {
    context.out.text("Consecutivo: ")
        .text(read_int(fields[3]).shown)
        .text("     Pedimento: ")
        .copy(fields[2])
        .text("     Firma: ")
        .copy(fields[6])
        .text("     Folio:")
        .copy(fields[4])
        .text("     Fecha: ")
        .copy(fields[5])
        .crlf();
}

void render_q_error(const BarFields& fields, RenderContext& context) {
    context.out.text("Consecutivo: ")
        .text(read_int(fields[3]).shown)
        .text("     Pedimento: ")
        .copy(fields[2])
        .text("     Error  Registro: ")
        .copy(fields[4])
        .text("    Campo: ")
        .text(read_int(fields[5]).shown)
        .text("    Tipo: ")
        .copy(fields[6])
        .text("     Línea: ")
        .copy(fields[8])
        .crlf();
    // The error's text goes on a line of its own, so the next record starts on a new line.
    if (!fields[7].empty()) {
        context.out.copy(fields[7]).crlf();
    }
}

}  // namespace

void render_x_line(std::string_view line, RenderContext& context) {
    switch (line_kind(line)) {
        case 'R':
            render_x_result(BarFields(line), context);
            break;
        case 'E':
            render_x_error(BarFields(line), context);
            break;
        default:
            break;
    }
}

void render_p_line(std::string_view line, RenderContext& context) {
    switch (line_kind(line)) {
        case 'F':
            render_p_accepted(BarFields(line), context);
            break;
        case 'E':
            render_p_error(line, context);
            break;
        default:
            break;
    }
}

void render_q_line(std::string_view line, RenderContext& context) {
    switch (line_kind(line)) {
        case 'F':
            render_q_accepted(BarFields(line), context);
            break;
        case 'E':
            render_q_error(BarFields(line), context);
            break;
        default:
            break;
    }
}

}  // namespace ordano::review
