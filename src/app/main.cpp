// SPDX-License-Identifier: Apache-2.0
#include "app/Application.h"

int main(int argc, char** argv) {
    return ordano::ordano_main(argc, argv);
}
