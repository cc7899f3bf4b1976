// SPDX-License-Identifier: Apache-2.0
// The other "err" answers: "T" (fixed positions, no catalogue), "C" (fields separated by
// "|", catalogue ERRORESC) and "D" (fixed positions, catalogue ERRORESD).
#include <string>

#include "review/RecordRules.h"

namespace ordano::review {
namespace {

void render_t_error(std::string_view line, RenderContext& context) {
    context.out.text("Pedimento: ")
        .copy(positions(line, 1, 7))
        .text("    Error   Reg: ")
        .text(read_int(positions(line, 8, 10)).shown)
        .text(", Tipo Reg: ")
        .text(read_int(positions(line, 11, 13)).shown)
        .text(", Campo: ")
        .text(read_int(positions(line, 14, 15)).shown)
        .text(", Cve. Error: ")
        .text(read_int(positions(line, 16, 17)).shown)
        .crlf()
        .text("Descripción: ")
        .text(read_int(positions_from(line, 18)).shown)
        .crlf()
        .crlf();
}

void render_c_signature(const BarFields& fields, RenderContext& context) {
    context.out.text("Patente: ")
        .copy(fields[2])
        .text("   CURP: ")
        .copy(fields[3])
        .text("   Folio: ")
        .copy(fields[4])
        .text("   Firma: ")
        .copy(fields.after_without_bars(4))
        .crlf()
        .crlf();
}

std::string_view c_class_prefix(long long tipo_error) {
    switch (tipo_error) {
        case 1:
            return "Error Normativo: ";
        case 2:
            return "Error Sintáctico-Catalógico: ";
        case 3:
            return "Error Técnico: ";
        default:
            return "";
    }
}

// Record number and error key count as 0 when present but not numeric; a field the line does
// not reach is shown empty.
IntField c_number_or_zero(const BarFields& fields, std::size_t n) {
    return fields.has(n) ? read_int_or_zero(fields[n]) : IntField{};
}

void render_c_error(const BarFields& fields, RenderContext& context) {
    const IntField key = c_number_or_zero(fields, 7);
    context.out.text("Registro: ")
        .text(c_number_or_zero(fields, 1).shown)
        .text("   Folio: ")
        .copy(fields[2])
        .text("   Pos. Reg. Act: ")
        .copy(fields[3])
        .text("   Pos. Reg. Arch: ")
        .copy(fields[4])
        .text("   T. Error: ")
        .text(read_int(fields[5]).shown)
        .text("   Campo: ")
        .text(read_int(fields[6]).shown)
        .text("   Clave: ")
        .text(key.shown)
        .crlf();
    if (!key.value) {
        return;
    }
    if (const auto row = context.catalog.find([&](Catalog& c) { return c.erroresc(*key.value); })) {
        context.out.text(c_class_prefix(row->tipo_error))
            .text(sentence_case(row->description))
            .crlf()
            .crlf();
    }
}

void render_d_signature(std::string_view line, RenderContext& context) {
    context.out.text("Patente: ")
        .copy(positions(line, 2, 5))
        .text("   Pedimento: ")
        .copy(positions(line, 6, 12))
        .text("   A.G.D.: ")
        .copy(positions(line, 13, 16))
        .text("   S.D.F.: ")
        .copy(positions(line, 17, 18))
        .text("   Folio CC:")
        .copy(positions(line, 19, 23))
        .text("   Acuse Electrónico:")
        .copy(positions(line, 24, 31))
        .crlf()
        .crlf();
}

void render_d_error(std::string_view line, RenderContext& context) {
    const std::string_view error_type = position(line, 16);
    const std::string_view consecutive = positions(line, 19, 20);
    const IntField number = read_int(positions(line, 17, 18));
    context.out.text("Tipo Error: ")
        .copy(error_type)
        .text("  -  Registro: ")
        .text(read_int(positions(line, 9, 11)).shown)
        .text("  -  Número: ")
        .text(number.shown)
        .text("  -  Consecutivo: ")
        .copy(consecutive)
        .text("  -  Línea: ")
        .text(read_int(positions(line, 12, 15)).shown)
        .crlf();
    // The consecutive is compared as text written in plain decimal: 05 looks up '5'.
    const IntField consecutive_number = read_int(consecutive);
    if (!error_type.empty() && number.value && consecutive_number.value) {
        std::string type_text;
        append_cp1252(type_text, error_type);
        if (const auto description = context.catalog.find([&](Catalog& c) {
                return c.erroresd(type_text, consecutive_number.shown, *number.value);
            })) {
            context.out.text(*description).crlf();
        }
    }
    context.out.crlf();
}

}  // namespace

void render_t_line(std::string_view line, RenderContext& context) {
    // An empty line holds no record.
    if (line.empty()) {
        return;
    }
    const std::string_view marker = position(line, 8);
    if (marker == "C") {
        return;
    }
    if (marker == "F") {
        context.out.text("Pedimento: ")
            .copy(positions(line, 1, 7))
            .text("    Firma: ")
            .copy(positions(line, 9, 16))
            .crlf()
            .crlf();
        return;
    }
    render_t_error(line, context);
}

void render_c_line(std::string_view line, RenderContext& context) {
    if (line.empty()) {
        return;
    }
    const BarFields fields(line);
    if (positions(line, 1, 3) == "200") {
        render_c_signature(fields, context);
    } else {
        render_c_error(fields, context);
    }
}

void render_d_line(std::string_view line, RenderContext& context) {
    if (line.empty()) {
        return;
    }
    if (line.front() == 'F') {
        render_d_signature(line, context);
    } else {
        render_d_error(line, context);
    }
}

}  // namespace ordano::review
