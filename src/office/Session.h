// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <filesystem>
#include <string>

namespace ordano {

// The eight local folders as the parameters dialog currently shows them: the running copy
// every transfer and review reads (the dialog pushes its fields here as they change).
struct LocalFolders {
    std::string val_env, val_rec;
    std::string tra_env, tra_rec;
    std::string pag_env, pag_rec;
    std::string sag_env, sag_rec;
};

// Where the program keeps its files on this workstation.
struct Paths {
    std::filesystem::path drive_root;   // what the office's Windows calls C:\ .
    std::filesystem::path work_folder;  // <drive root>/OrdanoTmp/proceso-<pid>, this process's
    std::filesystem::path ini_file;     // Ordano.ini
};

// The values that live for the whole run, loaded at start-up.
struct Sesion {
    int patente = 0;
    std::string host;
    std::string pass_ftp;
    std::string pass_ban;
    char bandera_pago = 'N';
    bool pass_aceptada = false;
    std::string dir_val_in;
    std::string dir_pag_in;
    std::string dir_sag_in;
    std::string dir_update;
    int dia_juliano = 0;
    LocalFolders folders;
    Paths paths;
};

}  // namespace ordano
