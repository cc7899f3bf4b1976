// SPDX-License-Identifier: Apache-2.0
// SAAI M3 validation answers ("M...err").
#include "review/RecordRules.h"

namespace ordano::review {
namespace {

// The fields of an error record after its record number; empty when positions 12-15 are not
// numeric, so such a record shows blanks and makes no lookup.
struct ErrorPosition {
    IntField line_number, error_type, field, error_number;
};

ErrorPosition read_error_position(std::string_view line) {
    if (!is_numeric(positions(line, 12, 15))) {
        return {};
    }
    // The line number has five digits in lines of 21 characters or more, four otherwise.
    const std::size_t shift = line.size() >= 21 ? 1 : 0;
    return {read_int(positions(line, 12, 15 + shift)), read_int(position(line, 16 + shift)),
            read_int(positions(line, 17 + shift, 18 + shift)),
            read_int(positions(line, 19 + shift, 20 + shift))};
}

// Types 3, 4 and 6 have descriptions per record and field; the others per type and number.
std::optional<Catalog::TypedDescription> find_description(const IntField& record,
                                                          const ErrorPosition& at,
                                                          CatalogLookups& catalog) {
    const auto& type = at.error_type.value;
    const auto& number = at.error_number.value;
    if (!type || !number) {
        return std::nullopt;
    }
    if (*type == 3 || *type == 4 || *type == 6) {
        if (!record.value || !at.field.value) {
            return std::nullopt;
        }
        return catalog.find(
            [&](Catalog& c) { return c.erroresm(*type, *number, *record.value, *at.field.value); });
    }
    return catalog.find([&](Catalog& c) { return c.erroresm(*type, *number); });
}

void render_error(std::string_view line, RenderContext& context) {
    const IntField record = read_int(positions(line, 9, 11));
    const ErrorPosition at = read_error_position(line);
    context.out.text("Pedimento: ")
        .copy(positions(line, 2, 8))
        .text("    Error   Reg: ")
        .copy(positions(line, 9, 11))
        .text(", Tipo: ")
        .text(at.error_type.shown)
        .text(", Número: ")
        .text(at.error_number.shown)
        .text(", Campo: ")
        .text(at.field.shown)
        .text(", Línea: ")
        .text(at.line_number.shown)
        .crlf();
    if (const auto row = find_description(record, at, context.catalog)) {
        context.out.text(row->type_name)
            .text(": ")
            .text(sentence_case(row->description))
            .crlf()
            .crlf();
    }
}

void render_signature(std::string_view line, RenderContext& context) {
    context.out.text("Pedimento: ")
        .copy(positions(line, 2, 8))
        .text("    Firma: ")
        .copy(positions(line, 9, 16))
        .crlf()
        .crlf();
}

}  // namespace

void render_m_line(std::string_view line, RenderContext& context) {
    // A line whose second character is not a digit is a message of the server: as it stands.
    if (!is_digit(position(line, 2))) {
        context.out.copy(line).crlf();
        return;
    }
    switch (line.front()) {
        case 'E':
        case 'A':
            render_error(line, context);
            break;
        case 'F':
            render_signature(line, context);
            break;
        default:
            break;
    }
}

}  // namespace ordano::review
