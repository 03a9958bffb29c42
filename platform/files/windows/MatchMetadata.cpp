// SPDX-License-Identifier: MIT
#include "platform/files/MatchMetadata.h"

#include "platform/files/windows/WinText.h"

#include <windows.h>
#include <aclapi.h>

#include <memory>

namespace dw::platform {

namespace {

struct LocalFreeing {
    void operator()(void* memory) const noexcept { LocalFree(memory); }
};

// The user this program runs as.
std::unique_ptr<unsigned char[]> ourUser()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return nullptr;
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    auto buffer = std::make_unique<unsigned char[]>(size ? size : 1);
    const bool ok = GetTokenInformation(token, TokenUser, buffer.get(), size, &size);
    CloseHandle(token);
    return ok ? std::move(buffer) : nullptr;
}

} // namespace

// The swap (ReplaceFileW) gives the new file the calendar's ACL, attributes
// and named streams; it cannot give it the calendar's owner. A calendar owned
// by someone else keeps its owner by being rewritten in place.
MetadataOutcome matchMetadata(NativeFile sourceFd, const FileIdentity&, NativeFile)
{
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const DWORD error = GetSecurityInfo(static_cast<HANDLE>(sourceFd), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner,
                                        nullptr, nullptr, nullptr, &descriptor);
    if (error != ERROR_SUCCESS)
        return {MetadataMatch::NotPossible, win::errnoFromWin32(error)};
    const std::unique_ptr<void, LocalFreeing> freeing(descriptor);
    const std::unique_ptr<unsigned char[]> user = ourUser();
    if (!user || !owner || !EqualSid(owner, reinterpret_cast<TOKEN_USER*>(user.get())->User.Sid))
        return {MetadataMatch::NotPossible, EPERM};
    return {};
}

bool mayTakeOwnership(const FileIdentity&)
{
    return true; // matchMetadata looks at the owner itself
}

} // namespace dw::platform
