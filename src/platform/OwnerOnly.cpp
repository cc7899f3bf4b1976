// SPDX-License-Identifier: Apache-2.0
#include "platform/OwnerOnly.h"

#ifdef _WIN32
#include <windows.h>

#include <aclapi.h>

#include <memory>
#include <string>
#include <vector>
#endif

namespace ordano {

#ifdef _WIN32

namespace {

struct LocalFreer {
    void operator()(void* memory) const { LocalFree(memory); }
};

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};

// The account this process runs as, as a TOKEN_USER buffer (empty when it cannot be read).
std::vector<unsigned char> process_user() {
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) {
        return {};
    }
    const std::unique_ptr<void, HandleCloser> token(raw);
    DWORD size = 0;
    GetTokenInformation(raw, TokenUser, nullptr, 0, &size);
    std::vector<unsigned char> user(size);
    if (size == 0 || !GetTokenInformation(raw, TokenUser, user.data(), size, &size)) {
        return {};
    }
    return user;
}

PSID sid_of(std::vector<unsigned char>& user) {
    return reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid;
}

// Accounts that read every file of the machine anyway: granting them access shares nothing.
bool machine_account(PSID sid) {
    return IsWellKnownSid(sid, WinLocalSystemSid) ||
           IsWellKnownSid(sid, WinBuiltinAdministratorsSid);
}

}  // namespace

// The file gets an access list of its own, not inherited from its folder, that lets only the
// process's user in: the folders Ordano's files live in on Windows (ProgramData, a folder at
// the drive's root) let every user of the machine read what they hold.
void restrict_to_owner(const std::filesystem::path& file) noexcept {
    auto user = process_user();
    if (user.empty()) {
        return;
    }
    EXPLICIT_ACCESSW owner{};
    owner.grfAccessPermissions = GENERIC_ALL;
    owner.grfAccessMode = SET_ACCESS;
    owner.grfInheritance = NO_INHERITANCE;
    owner.Trustee.TrusteeForm = TRUSTEE_IS_SID;
    owner.Trustee.TrusteeType = TRUSTEE_IS_USER;
    owner.Trustee.ptstrName = static_cast<LPWSTR>(sid_of(user));
    PACL raw = nullptr;
    if (SetEntriesInAclW(1, &owner, nullptr, &raw) != ERROR_SUCCESS) {
        return;
    }
    const std::unique_ptr<ACL, LocalFreer> acl(raw);
    std::wstring name = file.wstring();
    SetNamedSecurityInfoW(name.data(), SE_FILE_OBJECT,
                          DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr,
                          nullptr, acl.get(), nullptr);
}

bool open_to_others(const std::filesystem::path& file) {
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR raw = nullptr;
    if (GetNamedSecurityInfoW(file.wstring().c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                              nullptr, nullptr, &dacl, nullptr, &raw) != ERROR_SUCCESS) {
        return false;
    }
    const std::unique_ptr<void, LocalFreer> descriptor(raw);
    if (dacl == nullptr) {
        return true;  // no access list: everyone may do anything
    }
    auto user = process_user();
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void* entry = nullptr;
        if (!GetAce(dacl, i, &entry)) {
            continue;
        }
        const auto* header = static_cast<ACE_HEADER*>(entry);
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE) {
            continue;
        }
        auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(entry);
        const PSID sid = &allowed->SidStart;
        const bool owner = !user.empty() && EqualSid(sid, sid_of(user));
        if (!owner && !machine_account(sid)) {
            return true;
        }
    }
    return false;
}

std::string_view owner_only_hint() {
    return "Propiedades del archivo, pestaña Seguridad";
}

#else

void restrict_to_owner(const std::filesystem::path& file) noexcept {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::permissions(file, fs::perms::group_all | fs::perms::others_all, fs::perm_options::remove,
                    ec);
}

bool open_to_others(const std::filesystem::path& file) {
    namespace fs = std::filesystem;
    const fs::perms mode = fs::status(file).permissions();
    return (mode & (fs::perms::group_all | fs::perms::others_all)) != fs::perms::none;
}

std::string_view owner_only_hint() {
    return "chmod 600";
}

#endif

}  // namespace ordano
