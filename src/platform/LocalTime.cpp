// SPDX-License-Identifier: Apache-2.0
#include "platform/LocalTime.h"

namespace ordano {

std::tm local_time(std::time_t t) noexcept {
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &t);
#else
    localtime_r(&t, &local);
#endif
    return local;
}

}  // namespace ordano
