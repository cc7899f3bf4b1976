#include "cli/Cli.h"

#include <iostream>

namespace ordano::cli {

int run(int /*argc*/, char** /*argv*/) {
    std::cerr << "uso: ordano-cli <orden> [opciones]\n";
    return 2;
}

}  // namespace ordano::cli
