// SPDX-License-Identifier: Apache-2.0
#include "platform/ProcessId.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#include <cerrno>
#include <csignal>
#endif

namespace ordano {

#ifdef _WIN32

long current_process_id() noexcept {
    return static_cast<long>(GetCurrentProcessId());
}

bool process_running(long pid) noexcept {
    if (pid <= 0) {
        return false;
    }
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
    if (process == nullptr) {
        // No such process; any other refusal (access denied) means it may well be running.
        return GetLastError() != ERROR_INVALID_PARAMETER;
    }
    DWORD code = 0;
    const bool alive = GetExitCodeProcess(process, &code) == 0 || code == STILL_ACTIVE;
    CloseHandle(process);
    return alive;
}

#else

long current_process_id() noexcept {
    return static_cast<long>(getpid());
}

bool process_running(long pid) noexcept {
    if (pid <= 0) {
        return false;
    }
    // Signal 0 only asks: EPERM means the process exists but belongs to someone else.
    return kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

#endif

}  // namespace ordano
