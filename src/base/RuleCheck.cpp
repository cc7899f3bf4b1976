// SPDX-License-Identifier: Apache-2.0
#include "base/RuleCheck.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace ordano {

void rule_broken(std::string_view rule) {
#ifdef ORDANO_RULE_CHECKS
    std::fprintf(stderr, "Regla rota: %.*s\n", static_cast<int>(rule.size()), rule.data());
    std::fflush(stderr);
    std::abort();
#else
    throw RuleBroken(std::string(rule));
#endif
}

void check_turn(const TurnKeeper* keeper, std::string_view what) {
    if (keeper != nullptr && !keeper->held_here()) {
        rule_broken(std::string(what) + " sin tener el turno del motor");
    }
}

}  // namespace ordano
