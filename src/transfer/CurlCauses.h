// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <curl/curl.h>

#include <string>

namespace ordano {

// Why the FTP library gave up, in the office's Spanish, with the library's own code kept for
// whoever supports the office: "No se pudo conectar con el servidor (código de libcurl 7)".
[[nodiscard]] std::string curl_cause(CURLcode code);

}  // namespace ordano
