// SPDX-License-Identifier: Apache-2.0
#include "transfer/Publishing.h"

namespace ordano {

std::string_view upload_way_text(UploadWay way) {
    switch (way) {
        case UploadWay::Renamed:
            return "renombrado";
        case UploadWay::Direct:
            return "directo";
        case UploadWay::Found:
            break;
    }
    return "ya en el servidor";
}

std::string temporary_upload_name(std::string_view name) {
    return "." + std::string(name) + ".parte";
}

bool PublishWays::renames_on(const std::string& server) const {
    const std::lock_guard lock(mutex_);
    return !refusing_.contains(server);
}

void PublishWays::refused_by(const std::string& server) {
    RefusalListener listener;
    {
        const std::lock_guard lock(mutex_);
        if (!refusing_.insert(server).second) {
            return;
        }
        listener = listener_;
    }
    if (listener) {
        listener(server);
    }
}

void PublishWays::on_refusal(RefusalListener listener) {
    const std::lock_guard lock(mutex_);
    listener_ = std::move(listener);
}

}  // namespace ordano
