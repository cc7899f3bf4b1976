// SPDX-License-Identifier: Apache-2.0
#pragma once

namespace ordano {

// Holds a "work in progress" flag raised for the life of a scope, however the scope ends.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
};

}  // namespace ordano
