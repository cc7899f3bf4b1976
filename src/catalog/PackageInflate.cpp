// SPDX-License-Identifier: Apache-2.0
#include "catalog/PackageInflate.h"

#include <zlib.h>

#include <array>
#include <cerrno>
#include <fstream>

#include "base/Errors.h"
#include "base/LocalFailure.h"
#include "catalog/ServerFiles.h"

namespace ordano {
namespace {

constexpr std::size_t kChunk = 64 * 1024;

// One inflate stream, ended whatever happens.
class Inflater {
public:
    Inflater() {
        if (inflateInit(&stream_) != Z_OK) {
            throw PackageError("No se pudo preparar la descompresión");
        }
    }
    ~Inflater() { inflateEnd(&stream_); }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;

    z_stream& stream() { return stream_; }

private:
    z_stream stream_{};
};

std::string package_name(const std::filesystem::path& package) {
    return package.filename().string();
}

[[noreturn]] void damaged(const std::filesystem::path& package, const char* why) {
    throw PackageError("El paquete " + package_name(package) +
                       " está dañado (no se pudo descomprimir: " + why + ")");
}

// The most the output may grow to, and what to say when a package would pass it.
struct OutputLimit {
    std::uint64_t bytes = 0;
    bool by_free_space = false;
};

OutputLimit output_limit(const std::filesystem::path& database, const InflateBounds& bounds) {
    std::optional<std::uint64_t> free = bounds.free_bytes;
    if (!free) {
        std::error_code ec;
        const auto space = std::filesystem::space(database.parent_path(), ec);
        if (!ec) {
            free = space.available;
        }
    }
    const std::uint64_t room =
        free ? (*free > kFreeSpaceMargin ? *free - kFreeSpaceMargin : 0) : bounds.max_bytes;
    return room < bounds.max_bytes ? OutputLimit{room, true} : OutputLimit{bounds.max_bytes, false};
}

[[noreturn]] void too_large(const std::filesystem::path& package,
                            const std::filesystem::path& database, const OutputLimit& limit) {
    const std::string megabytes = std::to_string(limit.bytes >> 20);
    if (limit.by_free_space) {
        throw NumberedError(error_number::kDiskFull,
                            "No hay espacio en el disco para descomprimir el paquete " +
                                package_name(package) + " en " + database.parent_path().string() +
                                " (caben " + megabytes + " MB sin llenarlo)");
    }
    throw PackageError("El paquete " + package_name(package) + " se descomprime en más de " +
                       megabytes + " MB, más que cualquier catálogo de errores");
}

// Inflates the one zlib stream `in` holds into `out`, never past the limit.
void inflate_stream(std::ifstream& in, std::ofstream& out, const std::filesystem::path& package,
                    const std::filesystem::path& database, const OutputLimit& limit) {
    Inflater inflater;
    z_stream& z = inflater.stream();
    std::array<unsigned char, kChunk> input{};
    std::array<unsigned char, kChunk> output{};
    std::uint64_t written = 0;
    int status = Z_OK;
    while (status != Z_STREAM_END) {
        in.read(reinterpret_cast<char*>(input.data()), input.size());
        z.avail_in = static_cast<uInt>(in.gcount());
        z.next_in = input.data();
        if (z.avail_in == 0) {
            damaged(package, "el archivo termina antes que sus datos");
        }
        do {
            z.avail_out = output.size();
            z.next_out = output.data();
            status = inflate(&z, Z_NO_FLUSH);
            if (status == Z_NEED_DICT || status == Z_DATA_ERROR || status == Z_MEM_ERROR ||
                status == Z_STREAM_ERROR) {
                damaged(package, z.msg != nullptr ? z.msg : "datos no válidos");
            }
            const std::size_t produced = output.size() - z.avail_out;
            written += produced;
            if (written > limit.bytes) {
                too_large(package, database, limit);
            }
            errno = 0;
            out.write(reinterpret_cast<const char*>(output.data()),
                      static_cast<std::streamsize>(produced));
            if (!out) {
                throw last_local_failure(database);
            }
        } while (z.avail_out == 0 && status != Z_STREAM_END);
    }
    if (z.avail_in != 0 || in.peek() != std::char_traits<char>::eof()) {
        damaged(package, "hay datos después del final");
    }
}

}  // namespace

void inflate_package(const std::filesystem::path& package, const std::filesystem::path& database,
                     const InflateBounds& bounds) {
    std::ifstream in(package, std::ios::binary);
    if (!in) {
        throw PackageError("No se pudo abrir el paquete " + package_name(package));
    }
    const OutputLimit limit = output_limit(database, bounds);
    ScopedRemoval unfinished(database);
    {
        errno = 0;
        std::ofstream out(database, std::ios::binary | std::ios::trunc);
        if (!out) {
            throw last_local_failure(database);
        }
        inflate_stream(in, out, package, database, limit);
        errno = 0;
        out.close();
        if (!out) {
            throw last_local_failure(database);
        }
    }
    unfinished.release();
}

}  // namespace ordano
