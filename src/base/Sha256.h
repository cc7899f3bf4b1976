// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <stop_token>
#include <string>
#include <string_view>

namespace ordano {

// SHA-256 of a stream of bytes, fed in pieces of any size.
class Sha256 {
public:
    Sha256();
    void update(std::string_view bytes);
    // The digest as 64 lower-case hexadecimal digits. The object is spent afterwards.
    [[nodiscard]] std::string hex_digest();

private:
    void compress(const std::uint8_t* block);

    std::array<std::uint32_t, 8> state_;
    std::array<std::uint8_t, 64> buffer_{};
    std::size_t buffered_ = 0;
    std::uint64_t length_ = 0;  // bytes fed so far
};

// The size and SHA-256 of a file's bytes as they are on disk now.
struct FileDigest {
    std::uint64_t size = 0;
    std::string sha256;
};

// Reads the file once. Throws NumberedError 68 when it is missing, 70 when it cannot be read,
// and RunStopped as soon as a stop is requested (a file of gigabytes takes seconds).
[[nodiscard]] FileDigest digest_file(const std::filesystem::path& file,
                                     const std::stop_token& stop = {});

}  // namespace ordano
