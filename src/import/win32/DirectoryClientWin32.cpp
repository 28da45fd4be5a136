// The directory through Windows' own wldap32: a Negotiate bind (Kerberos or
// NTLM, signed and sealed over plain LDAP, which domain controllers that
// require signing accept), as the signed-in user or with an explicit
// identity, and a paged subtree search. The wide functions throughout: LDAP
// text is UTF-8, which the ANSI ones would squeeze through the code page.
#include "import/DirectorySource.h"
#include "launch/Secrets.h"

#include "handles/Handles.h"
#include "handles/WideText.h"

#include <windows.h>
#define SECURITY_WIN32
#include <sspi.h>
#include <wincrypt.h>
#include <winldap.h>
#include <winber.h>

#include <memory>

namespace qb {

namespace {

void freeBer(BerElement* ber)
{
    ber_free(ber, 0);
}

template <typename H, auto close>
using Owned = win::UniqueHandle<win::CloseTraits<H, close>>;
using Ldap = Owned<LDAP*, ldap_unbind>;
using Message = Owned<LDAPMessage*, ldap_msgfree>;
using Control = Owned<LDAPControlW*, ldap_control_freeW>;
using Controls = Owned<LDAPControlW**, ldap_controls_freeW>;
using LdapText = Owned<PWCHAR, ldap_memfreeW>;
using Values = Owned<berval**, ldap_value_free_len>;
using Ber = Owned<BerElement*, freeBer>;
using Berval = Owned<berval*, ber_bvfree>;

// LDAP carries UTF-8; the wide calls take UTF-16.
std::wstring wide(std::string_view utf8)
{
    return win::toWide(utf8, CP_UTF8);
}

std::string utf8(const wchar_t* text)
{
    return text ? win::fromWide(text, CP_UTF8) : std::string();
}

// A copy of a password that is wiped when it goes.
class SecretText
{
public:
    explicit SecretText(std::string_view utf8) : m_text(wide(utf8)) {}
    ~SecretText() { wipeSecret(m_text); }
    SecretText(const SecretText&) = delete;
    SecretText& operator=(const SecretText&) = delete;
    std::wstring& text() { return m_text; }

private:
    std::wstring m_text;
};

std::string failure(const char* step, const DirectoryAddress& address, LDAP* ld, ULONG code)
{
    std::string detail;
    PWCHAR serverError = nullptr;
    if (ld && ldap_get_optionW(ld, LDAP_OPT_SERVER_ERROR, &serverError) == LDAP_SUCCESS && serverError) {
        LdapText owned(serverError);
        detail = utf8(serverError);
    }
    return directoryError(step, address.server, utf8(ldap_err2stringW(code)), detail);
}

// Only set when certificate checks are turned off: Windows validates the
// chain and the name itself otherwise. Declared as taking the certificate,
// the callback is handed a pointer to it, and frees it.
BOOLEAN LDAPAPI acceptAnyCertificate(PLDAP, PCCERT_CONTEXT pointerToCertificate)
{
    CertFreeCertificateContext(*reinterpret_cast<const PCCERT_CONTEXT*>(pointerToCertificate));
    return TRUE;
}

void readEntries(LDAP* ld, LDAPMessage* page, std::vector<DirectoryEntry>& entries)
{
    for (LDAPMessage* message = ldap_first_entry(ld, page); message; message = ldap_next_entry(ld, message)) {
        DirectoryEntry& entry = entries.emplace_back();
        LdapText dn(ldap_get_dnW(ld, message));
        entry.dn = utf8(dn.get());
        BerElement* rawBer = nullptr;
        for (PWCHAR rawName = ldap_first_attributeW(ld, message, &rawBer); rawName;
             rawName = ldap_next_attributeW(ld, message, rawBer)) {
            LdapText name(rawName);
            Values values(ldap_get_values_lenW(ld, message, rawName));
            if (values && values.get()[0])
                entry.set(utf8(rawName), std::string(values.get()[0]->bv_val, values.get()[0]->bv_len));
        }
        Ber ber(rawBer);
    }
}

class WldapDirectoryClient final : public DirectoryClient
{
protected:
    bool bindsInClear() const override { return false; }
    Entries searchEntries(const DirectoryAddress& address, const DirectoryQuery& query,
                          const DirectoryProgress& progress) override;
};

DirectoryClient::Entries WldapDirectoryClient::searchEntries(const DirectoryAddress& address,
                                                             const DirectoryQuery& query,
                                                             const DirectoryProgress& progress)
{
    Entries out;
    bool ipv6 = address.server.find(':') != std::string::npos;
    std::wstring server = wide(ipv6 ? "[" + address.server + "]" : address.server);
    Ldap ld(address.secure ? ldap_sslinitW(server.data(), static_cast<ULONG>(address.port), 1)
                           : ldap_initW(server.data(), static_cast<ULONG>(address.port)));
    if (!ld) {
        out.error = failure("connection to", address, nullptr, LdapGetLastError());
        return out;
    }
    ULONG version = LDAP_VERSION3;
    ldap_set_optionW(ld, LDAP_OPT_PROTOCOL_VERSION, &version);
    ldap_set_optionW(ld, LDAP_OPT_REFERRALS, LDAP_OPT_OFF);
    if (address.secure && query.insecure)
        ldap_set_optionW(ld, LDAP_OPT_SERVER_CERTIFICATE, reinterpret_cast<void*>(&acceptAnyCertificate));
    // Over TLS the channel protects the bind already, and domain controllers
    // refuse signing or sealing on top of it: said outright, since not every
    // implementation leaves them off there by itself.
    void* protect = address.secure ? LDAP_OPT_OFF : LDAP_OPT_ON;
    ldap_set_optionW(ld, LDAP_OPT_SIGN, protect);
    ldap_set_optionW(ld, LDAP_OPT_ENCRYPT, protect);
    l_timeval timeout{query.timeoutSeconds, 0};
    ULONG rc = ldap_connect(ld, &timeout);
    if (rc != LDAP_SUCCESS) {
        out.error = failure("connection to", address, ld, rc);
        return out;
    }

    // No identity: the signed-in user's own credentials, through the same call.
    std::wstring user = wide(query.user), domain;
    if (size_t backslash = user.find(L'\\'); backslash != std::wstring::npos) {
        domain = user.substr(0, backslash);
        user.erase(0, backslash + 1);
    }
    SecretText password(query.password);
    SEC_WINNT_AUTH_IDENTITY_W identity{};
    identity.User = reinterpret_cast<unsigned short*>(user.data());
    identity.UserLength = static_cast<unsigned long>(user.size());
    identity.Domain = reinterpret_cast<unsigned short*>(domain.data());
    identity.DomainLength = static_cast<unsigned long>(domain.size());
    identity.Password = reinterpret_cast<unsigned short*>(password.text().data());
    identity.PasswordLength = static_cast<unsigned long>(password.text().size());
    identity.Flags = SEC_WINNT_AUTH_IDENTITY_UNICODE;
    rc = ldap_bind_sW(ld, nullptr, query.user.empty() ? nullptr : reinterpret_cast<PWCHAR>(&identity),
                      LDAP_AUTH_NEGOTIATE);
    if (rc != LDAP_SUCCESS) {
        // Wine connects at the bind, not in ldap_connect.
        out.error = failure(rc == LDAP_SERVER_DOWN ? "connection to" : "bind to", address, ld, rc);
        return out;
    }

    std::wstring base = wide(address.baseDn), filter = wide(query.filter);
    std::vector<std::wstring> names;
    for (const char* name : kDirectoryAttributes)
        names.push_back(wide(name));
    std::vector<PWCHAR> attributes;
    for (std::wstring& name : names)
        attributes.push_back(name.data());
    attributes.push_back(nullptr);

    Berval cookie;  // where the next page starts; none for the first
    for (;;) {
        LDAPControlW* rawControl = nullptr;
        rc = ldap_create_page_controlW(ld, static_cast<ULONG>(query.pageSize), cookie.get(), 1, &rawControl);
        Control pageControl(rawControl);
        if (rc != LDAP_SUCCESS) {
            out.error = failure("search at", address, ld, rc);
            return out;
        }
        LDAPControlW* serverControls[] = {pageControl.get(), nullptr};
        LDAPMessage* rawPage = nullptr;
        rc = ldap_search_ext_sW(ld, base.data(), LDAP_SCOPE_SUBTREE, filter.data(), attributes.data(), 0,
                                serverControls, nullptr, &timeout, 0, &rawPage);
        Message page(rawPage);
        if (rc != LDAP_SUCCESS && rc != LDAP_SIZELIMIT_EXCEEDED) {
            out.error = failure("search at", address, ld, rc);
            return out;
        }
        readEntries(ld, page, out.entries);

        ULONG resultCode = LDAP_SUCCESS;
        PLDAPControlW* rawResponse = nullptr;
        rc = ldap_parse_resultW(ld, page, &resultCode, nullptr, nullptr, nullptr, &rawResponse, FALSE);
        Controls response(rawResponse);
        if (rc != LDAP_SUCCESS) {
            out.error = failure("search at", address, ld, rc);
            return out;
        }
        // No page response: a server without paging sent everything at once.
        berval* next = nullptr;
        ULONG estimate = 0;
        if (!response || ldap_parse_page_controlW(ld, response, &estimate, &next) != LDAP_SUCCESS)
            next = nullptr;
        cookie.reset(next);
        bool more = cookie && cookie.get()->bv_len > 0;
        if (!continuePaging(out, resultCode == LDAP_SIZELIMIT_EXCEEDED, more, progress))
            return out;
    }
}

}  // namespace

std::unique_ptr<DirectoryClient> makePlatformDirectoryClient()
{
    return std::make_unique<WldapDirectoryClient>();
}

}  // namespace qb
