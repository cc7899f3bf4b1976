// SPDX-License-Identifier: Apache-2.0
#include "office/ParameterColumns.h"

namespace ordano {

std::string column_definition(const ParamInfo& info) {
    if (info.type == ParamType::Text) {
        return "TEXT DEFAULT ''";
    }
    return "INTEGER NOT NULL DEFAULT " + std::to_string(info.default_number);
}

}  // namespace ordano
