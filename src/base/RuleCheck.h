// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <stdexcept>
#include <string_view>

namespace ordano {

// A rule of the program's own making (which thread may do what) found broken where it could
// be broken. Built with ORDANO_RULE_CHECKS (debug builds and the test suite), the program stops
// at once naming the rule, so that the breach shows where it happens; otherwise the caller's
// work fails with RuleBroken, reported as any unexpected error.
class RuleBroken : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

[[noreturn]] void rule_broken(std::string_view rule);

// Who may work on the core's state now: the engine's turn says it. A core worked on by one
// thread alone has no keeper, and nothing is checked.
class TurnKeeper {
public:
    [[nodiscard]] virtual bool held_here() const = 0;

protected:
    ~TurnKeeper() = default;
};

// The rule that `what` is done only by the thread holding `keeper`'s turn (none: no rule).
void check_turn(const TurnKeeper* keeper, std::string_view what);

}  // namespace ordano
