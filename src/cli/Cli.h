#pragma once

namespace ordano::cli {

// Exit status: 0 success, 1 failure (message on standard error), 2 usage error.
int run(int argc, char** argv);

}  // namespace ordano::cli
