// SPDX-License-Identifier: Apache-2.0
#include "base/ProgramVersion.h"

#include <curl/curl.h>
#include <sqlite3.h>

namespace ordano {

std::string program_version() {
    return std::to_string(ORDANO_VERSION_MAJOR) + "." + std::to_string(ORDANO_VERSION_MINOR) + "." +
           std::to_string(ORDANO_VERSION_PATCH);
}

std::string version_text(std::string_view program, std::string_view qt_version) {
    const curl_version_info_data* curl = curl_version_info(CURLVERSION_NOW);
    std::string text = std::string(program) + " " + program_version() + "\n";
    text += "Qt " + std::string(qt_version) + "\n";
    text += "libcurl " + std::string(curl->version);
    if (curl->ssl_version != nullptr) {
        text += " (" + std::string(curl->ssl_version) + ")";
    }
    text += "\nSQLite " + std::string(sqlite3_libversion()) + "\n";
    return text;
}

}  // namespace ordano
