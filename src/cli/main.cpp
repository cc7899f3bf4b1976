// SPDX-License-Identifier: Apache-2.0
#include "cli/Cli.h"

int main(int argc, char** argv) {
    return ordano::cli::run(argc, argv);
}
