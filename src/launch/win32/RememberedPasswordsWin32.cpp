#include "launch/win32/RememberedPasswordsWin32.h"

#include "handles/ErrorText.h"
#include "handles/WideText.h"
#include "launch/Secrets.h"

#include <windows.h>
#include <wincred.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

// What the system hands back holds the password: overwritten before it goes.
void wipeBlob(const CREDENTIALW& credential)
{
    if (credential.CredentialBlob)
        ::SecureZeroMemory(credential.CredentialBlob, credential.CredentialBlobSize);
}

void wipeAndFree(PCREDENTIALW credential)
{
    wipeBlob(*credential);
    ::CredFree(credential);
}

using Credential = win::UniqueHandle<win::CloseTraits<PCREDENTIALW, wipeAndFree>>;

// CredEnumerateW's array, freed (with every credential in it) by one call.
class CredentialList
{
public:
    CredentialList(PCREDENTIALW* all, DWORD count) : m_all(all), m_count(count) {}
    ~CredentialList()
    {
        for (DWORD i = 0; i < m_count; ++i)
            wipeBlob(*m_all[i]);
        ::CredFree(m_all);
    }
    CredentialList(const CredentialList&) = delete;
    CredentialList& operator=(const CredentialList&) = delete;

    DWORD size() const { return m_count; }
    const CREDENTIALW& operator[](DWORD i) const { return *m_all[i]; }

private:
    PCREDENTIALW* m_all;
    DWORD m_count;
};

std::string narrow(const wchar_t* text)
{
    return text ? win::fromWide(text, CP_ACP) : std::string();
}

qb::RememberedPassword described(const CREDENTIALW& credential)
{
    return {narrow(credential.TargetName), narrow(credential.Comment), ""};
}

// Converted straight into `secret`, with no copy of the text in between.
void secretFromBlob(const CREDENTIALW& credential, std::string& secret)
{
    qb::wipeSecret(secret);
    const auto* chars = reinterpret_cast<const wchar_t*>(credential.CredentialBlob);
    const int count = int(credential.CredentialBlobSize / sizeof(wchar_t));
    if (!chars || count == 0)
        return;
    const int length = ::WideCharToMultiByte(CP_ACP, 0, chars, count, nullptr, 0, nullptr, nullptr);
    secret.resize(size_t(length));
    ::WideCharToMultiByte(CP_ACP, 0, chars, count, secret.data(), length, nullptr, nullptr);
}

bool exists(const std::string& path)
{
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

qb::SecretStore::Status CredentialStore::read(const std::string& target, qb::RememberedPassword& into,
                                              std::string& error)
{
    PCREDENTIALW raw = nullptr;
    if (!::CredReadW(win::toWide(target, CP_ACP).c_str(), CRED_TYPE_GENERIC, 0, &raw)) {
        const DWORD code = ::GetLastError();
        if (code == ERROR_NOT_FOUND)
            return Status::NotFound;
        error = win::errorText(code);
        return Status::Failed;
    }
    const Credential credential(raw);
    into.target = narrow(credential.get()->TargetName);
    into.binding = narrow(credential.get()->Comment);
    secretFromBlob(*credential.get(), into.secret);
    return Status::Found;
}

bool CredentialStore::write(const qb::RememberedPassword& value, std::string& error)
{
    std::wstring target = win::toWide(value.target, CP_ACP);
    std::wstring comment = win::toWide(value.binding, CP_ACP);
    std::wstring secret;
    const int size = int(value.secret.size());
    const int length = ::MultiByteToWideChar(CP_ACP, 0, value.secret.data(), size, nullptr, 0);
    secret.resize(size_t(length));
    ::MultiByteToWideChar(CP_ACP, 0, value.secret.data(), size, secret.data(), length);

    CREDENTIALW credential{};
    credential.Type = CRED_TYPE_GENERIC;
    credential.TargetName = target.data();
    credential.Comment = comment.data();
    credential.CredentialBlobSize = DWORD(secret.size() * sizeof(wchar_t));
    credential.CredentialBlob = reinterpret_cast<LPBYTE>(secret.data());
    credential.Persist = CRED_PERSIST_LOCAL_MACHINE;
    const bool written = ::CredWriteW(&credential, 0) != FALSE;
    const DWORD code = ::GetLastError();
    qb::wipeSecret(secret);
    if (!written)
        error = win::errorText(code);
    return written;
}

bool CredentialStore::list(const std::string& prefix, std::vector<qb::RememberedPassword>& found, std::string& error)
{
    DWORD count = 0;
    PCREDENTIALW* all = nullptr;
    if (!::CredEnumerateW(win::toWide(prefix + "*", CP_ACP).c_str(), 0, &count, &all)) {
        const DWORD code = ::GetLastError();
        if (code == ERROR_NOT_FOUND)
            return true;
        error = win::errorText(code);
        return false;
    }
    const CredentialList credentials(all, count);
    for (DWORD i = 0; i < credentials.size(); ++i) {
        if (credentials[i].Type == CRED_TYPE_GENERIC)
            found.push_back(described(credentials[i]));
    }
    return true;
}

bool CredentialStore::remove(const std::string& target, std::string& error)
{
    if (::CredDeleteW(win::toWide(target, CP_ACP).c_str(), CRED_TYPE_GENERIC, 0))
        return true;
    const DWORD code = ::GetLastError();
    // Gone already, by another program or by hand: what was asked is done.
    if (code == ERROR_NOT_FOUND)
        return true;
    error = win::errorText(code);
    return false;
}

qb::ProgramFinder::Place ShellProgramFinder::find(const std::string& name)
{
    std::vector<std::string> candidates{name};
    if (name.find('.') == std::string::npos) {
        const char* pathExt = std::getenv("PATHEXT");
        std::string extensions = pathExt && *pathExt ? pathExt : ".COM;.EXE;.BAT;.CMD";
        size_t from = 0;
        while (from <= extensions.size()) {
            const size_t semicolon = std::min(extensions.find(';', from), extensions.size());
            if (semicolon > from)
                candidates.push_back(name + extensions.substr(from, semicolon - from));
            from = semicolon + 1;
        }
    }
    for (const std::string& candidate : candidates) {
        if (exists(candidate))
            return Place::WorkingFolder;
    }
    for (const std::string& candidate : candidates) {
        if (::SearchPathA(nullptr, candidate.c_str(), nullptr, 0, nullptr, nullptr) != 0)
            return Place::Elsewhere;
    }
    return Place::NotFound;
}
