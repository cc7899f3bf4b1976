// SPDX-License-Identifier: Apache-2.0
#include "transfer/LocalFiles.h"

#include <cerrno>

#include "base/LocalFailure.h"
#include "office/WorkingFiles.h"

namespace ordano {
namespace {

std::filesystem::path temp_name_beside(const std::filesystem::path& target) {
    return target.parent_path() / part_file_name(target.filename().string());
}

}  // namespace

PartFile::PartFile(std::filesystem::path target)
    : target_(std::move(target)), temp_(temp_name_beside(target_)) {
    errno = 0;
    out_.open(temp_, std::ios::binary | std::ios::trunc);
    if (!out_) {
        // Named by the target: the working name means nothing to the person.
        throw last_local_failure(target_);
    }
}

PartFile::~PartFile() {
    if (!committed_) {
        out_.close();
        std::error_code ignored;
        std::filesystem::remove(temp_, ignored);
    }
}

bool PartFile::write(const char* data, std::size_t size) {
    errno = 0;
    out_.write(data, static_cast<std::streamsize>(size));
    if (!out_) {
        write_failure_ = last_local_failure(target_);
        return false;
    }
    return true;
}

void PartFile::restart() {
    out_.close();
    out_.open(temp_, std::ios::binary | std::ios::trunc);
}

void PartFile::commit() {
    errno = 0;
    out_.close();  // the last bytes reach the disk here
    if (!out_) {
        throw last_local_failure(target_);
    }
    std::error_code error;
    std::filesystem::rename(temp_, target_, error);
    if (error) {
        throw local_failure(target_, error);
    }
    committed_ = true;
}

SourceFile::SourceFile(const std::filesystem::path& path) {
    errno = 0;
    in_.open(path, std::ios::binary);
    if (!in_) {
        throw last_local_failure(path);
    }
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error) {
        throw local_failure(path, error);
    }
    size_ = static_cast<std::int64_t>(size);
}

std::size_t SourceFile::read(char* buffer, std::size_t size) {
    in_.read(buffer, static_cast<std::streamsize>(size));
    return static_cast<std::size_t>(in_.gcount());
}

void SourceFile::rewind() {
    in_.clear();
    in_.seekg(0);
}

}  // namespace ordano
