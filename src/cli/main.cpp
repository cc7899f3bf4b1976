#include "cli/Cli.h"

int main(int argc, char** argv) {
    return ordano::cli::run(argc, argv);
}
