// The directory through OpenLDAP's libldap: a simple bind (the portable part
// refuses it over plain ldap:// unless allowed), paged subtree search.
#include "import/DirectorySource.h"

#include <ldap.h>

#include <memory>

namespace qb {

namespace {

struct LdapUnbind {
    void operator()(LDAP* ld) const { ldap_unbind_ext_s(ld, nullptr, nullptr); }
};
struct MessageFree {
    void operator()(LDAPMessage* message) const { ldap_msgfree(message); }
};
struct ControlFree {
    void operator()(LDAPControl* control) const { ldap_control_free(control); }
};
struct ControlsFree {
    void operator()(LDAPControl** controls) const { ldap_controls_free(controls); }
};
struct MemFree {
    void operator()(void* block) const { ldap_memfree(block); }
};
struct ValuesFree {
    void operator()(berval** values) const { ldap_value_free_len(values); }
};
struct BerFree {
    void operator()(BerElement* ber) const { ber_free(ber, 0); }
};
using Ldap = std::unique_ptr<LDAP, LdapUnbind>;
using Message = std::unique_ptr<LDAPMessage, MessageFree>;

std::string diagnostic(LDAP* ld)
{
    char* text = nullptr;
    if (ldap_get_option(ld, LDAP_OPT_DIAGNOSTIC_MESSAGE, &text) != LDAP_OPT_SUCCESS || !text)
        return {};
    std::unique_ptr<char, MemFree> owned(text);
    return text;
}

std::string failure(const char* step, const DirectoryAddress& address, LDAP* ld, int code)
{
    return directoryError(step, address.server, ldap_err2string(code), ld ? diagnostic(ld) : std::string());
}

std::string uri(const DirectoryAddress& address)
{
    bool ipv6 = address.server.find(':') != std::string::npos;
    return std::string(address.secure ? "ldaps://" : "ldap://") + (ipv6 ? "[" : "") + address.server +
           (ipv6 ? "]" : "") + ":" + std::to_string(address.port);
}

// Reads the entries of one page into entries; search references (AD's
// pointers to its other partitions) are left alone.
void readEntries(LDAP* ld, LDAPMessage* page, std::vector<DirectoryEntry>& entries)
{
    for (LDAPMessage* message = ldap_first_entry(ld, page); message; message = ldap_next_entry(ld, message)) {
        DirectoryEntry& entry = entries.emplace_back();
        if (std::unique_ptr<char, MemFree> dn{ldap_get_dn(ld, message)})
            entry.dn = dn.get();
        BerElement* rawBer = nullptr;
        for (char* rawName = ldap_first_attribute(ld, message, &rawBer); rawName;
             rawName = ldap_next_attribute(ld, message, rawBer)) {
            std::unique_ptr<char, MemFree> name(rawName);
            std::unique_ptr<berval*, ValuesFree> values(ldap_get_values_len(ld, message, rawName));
            if (values && values.get()[0])
                entry.set(rawName, std::string(values.get()[0]->bv_val, values.get()[0]->bv_len));
        }
        std::unique_ptr<BerElement, BerFree> ber(rawBer);
    }
}

class LdapDirectoryClient final : public DirectoryClient
{
protected:
    bool bindsInClear() const override { return true; }
    Entries searchEntries(const DirectoryAddress& address, const DirectoryQuery& query,
                          const DirectoryProgress& progress) override;
};

DirectoryClient::Entries LdapDirectoryClient::searchEntries(const DirectoryAddress& address,
                                                            const DirectoryQuery& query,
                                                            const DirectoryProgress& progress)
{
    Entries out;
    LDAP* raw = nullptr;
    int rc = ldap_initialize(&raw, uri(address).c_str());
    Ldap ld(raw);
    if (rc != LDAP_SUCCESS) {
        out.error = failure("connection to", address, nullptr, rc);
        return out;
    }
    int version = LDAP_VERSION3;
    timeval timeout{query.timeoutSeconds, 0};
    // Per connection, so that neither ldap.conf nor another search changes
    // what this one checks.
    int requireCert = query.insecure ? LDAP_OPT_X_TLS_NEVER : LDAP_OPT_X_TLS_DEMAND;
    int newContext = 0;
    ldap_set_option(ld.get(), LDAP_OPT_PROTOCOL_VERSION, &version);
    ldap_set_option(ld.get(), LDAP_OPT_REFERRALS, LDAP_OPT_OFF);
    ldap_set_option(ld.get(), LDAP_OPT_NETWORK_TIMEOUT, &timeout);
    ldap_set_option(ld.get(), LDAP_OPT_TIMEOUT, &timeout);
    if (address.secure) {
        ldap_set_option(ld.get(), LDAP_OPT_X_TLS_REQUIRE_CERT, &requireCert);
        ldap_set_option(ld.get(), LDAP_OPT_X_TLS_NEWCTX, &newContext);
    }

    berval credentials{query.password.size(), const_cast<char*>(query.password.data())};
    const char* who = query.user.empty() ? nullptr : query.user.c_str();
    rc = ldap_sasl_bind_s(ld.get(), who, LDAP_SASL_SIMPLE, &credentials, nullptr, nullptr, nullptr);
    if (rc == LDAP_SERVER_DOWN) {
        // libldap connects at the bind, and gives no reason for a failed TLS
        // handshake: a certificate that is not trusted is the likely one.
        bool checked = address.secure && !query.insecure;
        out.error = directoryError("connection to", address.server, ldap_err2string(rc),
                                   checked ? "or its certificate is not trusted" : "");
        return out;
    }
    if (rc != LDAP_SUCCESS) {
        out.error = failure("bind to", address, ld.get(), rc);
        return out;
    }

    std::vector<char*> attributes;
    for (const char* name : kDirectoryAttributes)
        attributes.push_back(const_cast<char*>(name));
    attributes.push_back(nullptr);
    std::string cookie;  // where the next page starts; empty for the first
    for (;;) {
        berval cookieValue{cookie.size(), cookie.data()};
        LDAPControl* rawControl = nullptr;
        rc = ldap_create_page_control(ld.get(), static_cast<ber_int_t>(query.pageSize), &cookieValue, 1, &rawControl);
        std::unique_ptr<LDAPControl, ControlFree> pageControl(rawControl);
        if (rc != LDAP_SUCCESS) {
            out.error = failure("search at", address, ld.get(), rc);
            return out;
        }
        LDAPControl* serverControls[] = {pageControl.get(), nullptr};
        LDAPMessage* rawPage = nullptr;
        rc = ldap_search_ext_s(ld.get(), address.baseDn.c_str(), LDAP_SCOPE_SUBTREE, query.filter.c_str(),
                               attributes.data(), 0, serverControls, nullptr, &timeout, 0, &rawPage);
        Message page(rawPage);
        if (rc != LDAP_SUCCESS && rc != LDAP_SIZELIMIT_EXCEEDED) {
            out.error = failure("search at", address, ld.get(), rc);
            return out;
        }
        readEntries(ld.get(), page.get(), out.entries);

        int resultCode = LDAP_SUCCESS;
        LDAPControl** rawResponse = nullptr;
        rc = ldap_parse_result(ld.get(), page.get(), &resultCode, nullptr, nullptr, nullptr, &rawResponse, 0);
        std::unique_ptr<LDAPControl*, ControlsFree> response(rawResponse);
        if (rc != LDAP_SUCCESS) {
            out.error = failure("search at", address, ld.get(), rc);
            return out;
        }
        // No page response: a server without paging sent everything at once.
        LDAPControl* pageResponse = ldap_control_find(LDAP_CONTROL_PAGEDRESULTS, response.get(), nullptr);
        berval next{0, nullptr};
        ber_int_t estimate = 0;
        if (pageResponse && ldap_parse_pageresponse_control(ld.get(), pageResponse, &estimate, &next) == LDAP_SUCCESS) {
            std::unique_ptr<char, MemFree> owned(next.bv_val);
            cookie.assign(next.bv_val ? next.bv_val : "", next.bv_len);
        } else {
            cookie.clear();
        }
        if (!continuePaging(out, resultCode == LDAP_SIZELIMIT_EXCEEDED, !cookie.empty(), progress))
            return out;
    }
}

}  // namespace

std::unique_ptr<DirectoryClient> makePlatformDirectoryClient()
{
    return std::make_unique<LdapDirectoryClient>();
}

}  // namespace qb
