// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <string_view>

namespace ordano {

// How an upload reached its real name on the server.
enum class UploadWay {
    Renamed,  // stored under its temporary name, renamed once the server confirmed it whole
    Direct,   // stored under its real name (a server that refuses renaming)
    Found,    // not stored again: the server already held these very bytes under the name
};

// The journal's word for the way: "renombrado", "directo", "ya en el servidor".
[[nodiscard]] std::string_view upload_way_text(UploadWay way);

// The name a file is stored under until the server has confirmed it whole: hidden (a leading
// dot) and with a suffix, so the validation server never takes it for a declaration, a payment
// or an answer ("M0015001.343" goes up as ".M0015001.343.parte").
[[nodiscard]] std::string temporary_upload_name(std::string_view name);

// The servers that refused to rename an upload, remembered for the program's life by every
// session that shares this object: each one's uploads go straight under their real name from
// then on. Safe from any thread.
class PublishWays {
public:
    using RefusalListener = std::function<void(const std::string& server)>;

    [[nodiscard]] bool renames_on(const std::string& server) const;
    // The server refused a rename; the listener hears of it the first time only.
    void refused_by(const std::string& server);
    void on_refusal(RefusalListener listener);

private:
    mutable std::mutex mutex_;
    std::set<std::string> refusing_;
    RefusalListener listener_;
};

}  // namespace ordano
