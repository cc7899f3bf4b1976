// SPDX-License-Identifier: Apache-2.0
// Electronic-payment answers: "A" (one fixed-layout record per line) and "R" (signature and
// totals records, several in one line when they are separated by bare line feeds).
#include "review/Amounts.h"
#include "review/RecordRules.h"

namespace ordano::review {
namespace {

// The description of a payment error; nothing when the number is not numeric or unknown.
void describe_payment_error(std::string_view number_text, RenderContext& context) {
    const IntField number = read_int(number_text);
    if (!number.value) {
        return;
    }
    if (const auto description =
            context.catalog.find([&](Catalog& c) { return c.erroresb(*number.value); })) {
        context.out.text("Descripción: ").text(*description).crlf().crlf();
    }
}

void render_a_accepted(std::string_view line, RenderContext& context) {
    context.out.text("Pedimento: ")
        .copy(positions(line, 37, 43))
        .text("  -  Operación: ")
        .copy(positions(line, 92, 105))
        .text(" -  Fecha: ")
        .copy(positions(line, 76, 83))
        .text("  -  Hora: ")
        .copy(positions(line, 84, 91))
        .crlf()
        .text("Línea de Captura: ")
        .copy(positions(line, 6, 25))
        .text("  -  Transacción SAT: ")
        .copy(positions(line, 106, 125))
        .crlf()
        .crlf();
}

void render_a_rejected(std::string_view line, RenderContext& context) {
    context.out.text("Pedimento: ")
        .copy(positions(line, 37, 43))
        .text(" - Error: ")
        .copy(positions(line, 76, 78))
        .crlf();
    describe_payment_error(positions(line, 76, 78), context);
}

void render_r_totals(std::string_view record, RenderContext& context) {
    context.out.text("Pedimento: ")
        .copy(positions(record, 1, 7))
        .text("    Firma: ")
        .copy(positions(record, 9, 16))
        .text("    Total Pag. Efvo: ")
        .text(whole_amount(positions(record, 43, 54), context.locale))
        .text("    Total Contrib: ")
        .text(whole_amount(positions(record, 55, 66), context.locale))
        .crlf()
        .crlf();
}

void render_r_error(std::string_view record, RenderContext& context) {
    context.out.text("Pedimento: ")
        .copy(positions(record, 1, 7))
        .text("    Error: ")
        .copy(positions(record, 8, 9))
        .crlf();
    describe_payment_error(positions(record, 8, 9), context);
}

void render_r_record(std::string_view record, RenderContext& context) {
    if (position(record, 8) == "@") {
        render_r_totals(record, context);
    } else {
        render_r_error(record, context);
    }
}

}  // namespace

void render_a_line(std::string_view line, RenderContext& context) {
    if (line.empty()) {
        return;
    }
    if (line.size() > 78) {
        render_a_accepted(line, context);
    } else {
        render_a_rejected(line, context);
    }
}

void render_r_line(std::string_view line, RenderContext& context) {
    if (line.size() == 66) {
        render_r_record(line, context);
        return;
    }
    if (line.size() == 9) {
        render_r_error(line, context);
        return;
    }
    // Records separated by line feeds; the one after the last line feed counts too, so no
    // record of the answer is hidden. Empty records hold nothing to show.
    while (!line.empty()) {
        const std::size_t lf = line.find('\n');
        const std::string_view record = line.substr(0, lf);
        if (!record.empty()) {
            render_r_record(record, context);
        }
        line = lf == std::string_view::npos ? std::string_view{} : line.substr(lf + 1);
    }
}

}  // namespace ordano::review
