#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>

namespace ordano {

// The file a download writes: a temporary file beside the target, renamed onto the target by
// commit(). Destroyed without commit(), it removes itself, so a failed download never leaves a
// partial file behind. Throws NumberedError 68 (folder missing) or 70 (not writable).
class PartFile {
public:
    explicit PartFile(std::filesystem::path target);
    ~PartFile();
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;

    // Appends bytes; false when the disk refused them.
    bool write(const char* data, std::size_t size);
    // Drops what was written so far, for a transfer that starts over.
    void restart();
    void commit();

private:
    std::filesystem::path target_;
    std::filesystem::path temp_;
    std::ofstream out_;
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

// Error 68 or 70 for a local file that could not be opened, worded for the person.
[[noreturn]] void throw_local_file_error(const std::filesystem::path& path);

}  // namespace ordano
