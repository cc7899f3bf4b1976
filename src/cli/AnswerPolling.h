// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <chrono>
#include <iosfwd>
#include <set>
#include <stop_token>
#include <string>
#include <vector>

namespace ordano {
class DeskWork;
class TransferDesk;
struct Sesion;
}  // namespace ordano

namespace ordano::cli {

// Follows the answers of the receive list for ordano-cli: has the desk work look at the server
// as the window's timer does (first after 2 s, or at once, then every 5 s) until every answer is in
// or the time is up. Each answer stored is printed as its path on `answers`; progress goes to
// `progress`. The time is a limit: when it is up a stop is requested on `stop` (the desk's), which
// cancels the tick in flight. A stop requested from elsewhere ends the waiting as well.
class AnswerPolling {
public:
    AnswerPolling(DeskWork& work, const Sesion& session, std::stop_source stop,
                  std::ostream& progress, std::ostream& answers);
    AnswerPolling(const AnswerPolling&) = delete;
    AnswerPolling& operator=(const AnswerPolling&) = delete;

    // true when no answer is awaited any more. With `look_at_once` the first tick comes at
    // once rather than after the timer's first interval.
    bool wait(std::chrono::seconds limit, bool look_at_once = false);
    // One tick at once (none when nothing was handed to reception); true when no answer is
    // awaited any more.
    bool poll_once();

    // "name (answer, answer)" for each file with answers still awaited.
    [[nodiscard]] std::vector<std::string> missing() const;
    // The path of each answer stored so far.
    [[nodiscard]] const std::set<std::string>& stored() const { return stored_; }

private:
    [[nodiscard]] TransferDesk& desk() const;
    void answer_listed(const std::string& name);
    void tick(int expected);
    [[nodiscard]] int awaited() const;
    [[nodiscard]] bool done() const;

    DeskWork& work_;
    const Sesion& session_;
    std::stop_source stop_;
    std::ostream& progress_;
    std::ostream& answers_;
    int received_ = 0;
    std::set<std::string> stored_;
};

}  // namespace ordano::cli
