// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>

#include "base/Errors.h"

namespace ordano {

// The file a download writes: a temporary file beside the target, renamed onto the target by
// commit(). Destroyed without commit(), it removes itself, so a failed download never leaves a
// partial file behind. Throws NumberedError 68 (folder missing), 70 (not writable) or 61 (disk
// full), as local_failure() numbers them.
class PartFile {
public:
    explicit PartFile(std::filesystem::path target);
    ~PartFile();
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;

    // Appends bytes; false when the disk refused them (write_failure() then says why).
    bool write(const char* data, std::size_t size);
    // The numbered cause of the last refused write, naming the target.
    [[nodiscard]] const std::optional<NumberedError>& write_failure() const {
        return write_failure_;
    }
    // Drops what was written so far, for a transfer that starts over.
    void restart();
    void commit();

private:
    std::filesystem::path target_;
    std::filesystem::path temp_;
    std::ofstream out_;
    std::optional<NumberedError> write_failure_;
    bool committed_ = false;
};

// The file an upload reads. Throws NumberedError 68 (missing) or 70 (not readable).
class SourceFile {
public:
    explicit SourceFile(const std::filesystem::path& path);

    [[nodiscard]] std::int64_t size() const { return size_; }
    std::size_t read(char* buffer, std::size_t size);
    void rewind();

private:
    std::ifstream in_;
    std::int64_t size_ = 0;
};

}  // namespace ordano
