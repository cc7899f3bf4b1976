#include "transfer/LocalFiles.h"

#include <random>
#include <sstream>

#include "store/Errors.h"

namespace ordano {
namespace {

std::filesystem::path temp_name_beside(const std::filesystem::path& target) {
    std::random_device device;
    std::ostringstream name;
    name << target.filename().string() << ".part-" << std::hex << device();
    return target.parent_path() / name.str();
}

}  // namespace

void throw_local_file_error(const std::filesystem::path& path) {
    std::error_code ignored;
    const auto folder = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    if (!std::filesystem::is_directory(folder, ignored)) {
        throw NumberedError(error_number::kPathNotFound,
                            "No se encuentra la carpeta " + folder.string());
    }
    if (!std::filesystem::exists(path, ignored)) {
        throw NumberedError(error_number::kPathNotFound,
                            "No se encuentra el archivo " + path.string());
    }
    throw NumberedError(error_number::kFileLocked,
                        "No se tiene acceso al archivo " + path.string());
}

PartFile::PartFile(std::filesystem::path target)
    : target_(std::move(target)), temp_(temp_name_beside(target_)) {
    out_.open(temp_, std::ios::binary | std::ios::trunc);
    if (!out_) {
        throw_local_file_error(temp_);
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
    out_.write(data, static_cast<std::streamsize>(size));
    return static_cast<bool>(out_);
}

void PartFile::restart() {
    out_.close();
    out_.open(temp_, std::ios::binary | std::ios::trunc);
}

void PartFile::commit() {
    out_.close();
    if (!out_) {
        throw NumberedError(error_number::kFileLocked, "No se pudo escribir " + temp_.string());
    }
    std::error_code error;
    std::filesystem::rename(temp_, target_, error);
    if (error) {
        throw NumberedError(error_number::kFileLocked,
                            "No se pudo reemplazar el archivo " + target_.string());
    }
    committed_ = true;
}

SourceFile::SourceFile(const std::filesystem::path& path) : in_(path, std::ios::binary) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (!in_ || error) {
        throw_local_file_error(path);
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
