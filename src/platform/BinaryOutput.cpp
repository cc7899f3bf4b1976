// SPDX-License-Identifier: Apache-2.0
#include "platform/BinaryOutput.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace ordano {

#ifdef _WIN32

void set_binary_mode(std::FILE* stream) noexcept {
    _setmode(_fileno(stream), _O_BINARY);
}

#else

void set_binary_mode(std::FILE* /*stream*/) noexcept {}

#endif

}  // namespace ordano
