// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "office/Catalog.h"

namespace ordano::review {

// The catalogue as a report sees it: a lookup that fails (a missing table, a broken
// database) is kept as the report's failure and every later lookup of the file yields no
// row, so the rest of the file is still rendered without descriptions.
class CatalogLookups {
public:
    explicit CatalogLookups(Catalog& catalog) : catalog_(catalog) {}

    // Runs `lookup(catalog)`, which returns a std::optional; nothing after a failure.
    template <class Lookup>
    auto find(Lookup&& lookup) -> decltype(lookup(std::declval<Catalog&>())) {
        if (failure_) {
            return std::nullopt;
        }
        try {
            return std::forward<Lookup>(lookup)(catalog_);
        } catch (const std::exception& e) {
            failure_ = e.what();
            return std::nullopt;
        }
    }

    // One read transaction for all the lookups of a file; none when it cannot be opened
    // (the lookups then run one by one, only slower).
    [[nodiscard]] std::unique_ptr<Catalog::ReadScope> read_scope() {
        try {
            return std::make_unique<Catalog::ReadScope>(catalog_);
        } catch (const std::exception&) {
            return nullptr;
        }
    }

    [[nodiscard]] const std::optional<std::string>& failure() const { return failure_; }

private:
    Catalog& catalog_;
    std::optional<std::string> failure_;
};

}  // namespace ordano::review
