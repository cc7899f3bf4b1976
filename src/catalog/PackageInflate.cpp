#include "catalog/PackageInflate.h"

#include <zlib.h>

#include <array>
#include <fstream>

#include "catalog/ServerFiles.h"
#include "store/Errors.h"

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

// Inflates the one zlib stream `in` holds into `out`.
void inflate_stream(std::ifstream& in, std::ofstream& out, const std::filesystem::path& package) {
    Inflater inflater;
    z_stream& z = inflater.stream();
    std::array<unsigned char, kChunk> input{};
    std::array<unsigned char, kChunk> output{};
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
            out.write(reinterpret_cast<const char*>(output.data()),
                      static_cast<std::streamsize>(output.size() - z.avail_out));
            if (!out) {
                throw NumberedError(error_number::kFileLocked,
                                    "No se pudo escribir el catálogo descomprimido");
            }
        } while (z.avail_out == 0 && status != Z_STREAM_END);
    }
    if (z.avail_in != 0 || in.peek() != std::char_traits<char>::eof()) {
        damaged(package, "hay datos después del final");
    }
}

}  // namespace

void inflate_package(const std::filesystem::path& package, const std::filesystem::path& database) {
    std::ifstream in(package, std::ios::binary);
    if (!in) {
        throw PackageError("No se pudo abrir el paquete " + package_name(package));
    }
    ScopedRemoval unfinished(database);
    {
        std::ofstream out(database, std::ios::binary | std::ios::trunc);
        if (!out) {
            throw NumberedError(error_number::kFileLocked,
                                "No se pudo crear el archivo " + database.string());
        }
        inflate_stream(in, out, package);
        out.close();
        if (!out) {
            throw NumberedError(error_number::kFileLocked,
                                "No se pudo escribir el archivo " + database.string());
        }
    }
    unfinished.release();
}

}  // namespace ordano
