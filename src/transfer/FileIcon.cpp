// SPDX-License-Identifier: Apache-2.0
#include "transfer/FileIcon.h"

#include "base/FileNames.h"
#include "base/FileOps.h"

#include <string>

#include "transfer/Routing.h"
#include "transfer/TransferFiles.h"

namespace ordano {

std::string icon_text(int image) {
    return image == image::kNone ? "" : std::to_string(image);
}

int icon_of_text(std::string_view text) {
    return whole_number(text).value_or(image::kNone);
}

int payment_code_image(std::string_view first_line) {
    const std::string_view code = first_line.size() > 2 ? first_line.substr(2, 2) : "";
    switch (whole_number(code).value_or(-1)) {
        case 3:
            return 12;
        case 5:
            return 3;
        case 8:
            return 4;
        case 9:
            return 7;
        case 11:
            return 5;
        default:
            return image::kPaymentOther;
    }
}

int icon_for_file(std::string_view name, const std::filesystem::path& pag_env) {
    switch (kind_letter(name)) {
        case 'M':
        case 'C':
        case 'D':
            return image::kValidation;
        case 'E': {
            const auto file = find_file_ignoring_case(pag_env, name);
            const auto line = read_first_line_bytes(file.value_or(pag_env / std::string(name)));
            return line ? payment_code_image(*line) : image::kNone;
        }
        case 'S':
            return image::kSagarpa;
        case 'P':
            return image::kP;
        default:
            return image::kNone;
    }
}

}  // namespace ordano
