#pragma once

#include <filesystem>

namespace ordano {

// Deletes the file if it exists, also when it is read-only; nothing when it does not.
void Borra_Archivo(const std::filesystem::path& file);

}  // namespace ordano
