#include "import/DirectorySource.h"

#include "catalogue/TextRules.h"
#include "import/ImportText.h"

#include <algorithm>
#include <cstdlib>
#include <tuple>

namespace qb {

namespace {

// RFC 4516 writes a DN's spaces and other reserved characters as %XX.
bool percentDecode(std::string_view text, std::string& out)
{
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size())
            return false;
        int high = hexDigitValue(text[i + 1]), low = hexDigitValue(text[i + 2]);
        if (high < 0 || low < 0)
            return false;
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return true;
}

bool parsePort(std::string_view text, int& port)
{
    if (text.empty() || text.size() > 5 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    port = std::atoi(std::string(text).c_str());
    return port > 0 && port <= 65535;
}

bool disabled(const std::string& userAccountControl)
{
    // A 32-bit flag word; AD writes it in decimal, negative when bit 31 is set.
    char* end = nullptr;
    long long flags = std::strtoll(userAccountControl.c_str(), &end, 10);
    return end != userAccountControl.c_str() && (flags & 2) != 0;
}

}  // namespace

std::optional<DirectoryAddress> parseDirectoryUrl(std::string_view url, std::string& error)
{
    DirectoryAddress address;
    std::string_view rest;
    if (startsWithIgnoringCase(url, "ldaps://")) {
        address.secure = true;
        rest = url.substr(8);
    } else if (startsWithIgnoringCase(url, "ldap://")) {
        rest = url.substr(7);
    } else {
        error = "not an ldap:// or ldaps:// address";
        return std::nullopt;
    }
    size_t slash = rest.find('/');
    std::string_view hostPort = rest.substr(0, slash);
    std::string_view dn = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    if (dn.find('?') != std::string_view::npos) {
        error = "the address has parts after the base DN (\"?...\"); it is ldap[s]://SERVER[:PORT]/BASE-DN";
        return std::nullopt;
    }

    std::string_view server = hostPort;
    std::optional<std::string_view> portText;
    if (!hostPort.empty() && hostPort.front() == '[') {
        size_t close = hostPort.find(']');
        std::string_view after = close == std::string_view::npos ? "" : hostPort.substr(close + 1);
        if (close == std::string_view::npos || (!after.empty() && after.front() != ':')) {
            error = "an IPv6 address is written [ADDRESS] or [ADDRESS]:PORT";
            return std::nullopt;
        }
        server = hostPort.substr(1, close - 1);
        if (!after.empty())
            portText = after.substr(1);
    } else if (size_t colon = hostPort.find(':'); colon != std::string_view::npos) {
        server = hostPort.substr(0, colon);
        portText = hostPort.substr(colon + 1);
    }
    address.server = std::string(server);
    if (address.server.empty()) {
        error = "no server in the address";
        return std::nullopt;
    }
    address.port = address.secure ? 636 : 389;
    if (portText && !parsePort(*portText, address.port)) {
        error = "the port is not a number from 1 to 65535";
        return std::nullopt;
    }
    if (!percentDecode(dn, address.baseDn)) {
        error = "a \"%\" in the base DN is not followed by two hexadecimal digits";
        return std::nullopt;
    }
    if (address.baseDn.empty()) {
        error = "no base DN after the server (ldap://SERVER/OU=...,DC=...)";
        return std::nullopt;
    }
    return address;
}

void DirectoryEntry::set(std::string_view name, std::string value)
{
    std::string* fields[] = {&cn, &dnsHostName, &userAccountControl};
    for (size_t i = 0; i < std::size(kDirectoryAttributes); ++i) {
        if (equalsIgnoringCase(name, kDirectoryAttributes[i]))
            *fields[i] = std::move(value);
    }
}

ImportRead candidatesFromEntries(const std::vector<DirectoryEntry>& entries)
{
    ImportRead read;
    AnsiText ansi;
    std::vector<ImportCandidate>& candidates = read.hosts;
    candidates.reserve(entries.size());
    for (const DirectoryEntry& entry : entries) {
        ImportCandidate& candidate = candidates.emplace_back();
        candidate.title = ansi.fromUtf8(entry.cn);
        candidate.hostName = ansi.fromUtf8(entry.dnsHostName.empty() ? entry.cn : entry.dnsHostName);
        candidate.origin = ansi.fromUtf8(entry.dn);
        if (candidate.hostName.empty())
            candidate.skipReason = "no name";
        else if (disabled(entry.userAccountControl))
            candidate.skipReason = "disabled";
    }
    std::sort(candidates.begin(), candidates.end(), [](const ImportCandidate& a, const ImportCandidate& b) {
        return std::tie(a.title, a.hostName, a.origin) < std::tie(b.title, b.hostName, b.origin);
    });
    ansi.warnInto(read.warnings);
    return read;
}

std::string directoryError(std::string_view step, std::string_view server, std::string_view text,
                           std::string_view detail)
{
    std::string message = std::string(step) + " " + std::string(server) + " failed: " + std::string(text);
    if (!detail.empty() && detail != text)
        message += " (" + std::string(detail) + ")";
    return message;
}

bool DirectoryClient::continuePaging(Entries& out, bool sizeLimitHit, bool more, const DirectoryProgress& progress)
{
    if (sizeLimitHit) {
        out.warnings.push_back("the server stopped at its size limit after " + std::to_string(out.entries.size()) +
                               " entries");
        return false;
    }
    bool goOn = !progress || progress(out.entries.size());
    out.cancelled = more && !goOn;
    return more && goOn;
}

DirectoryResult DirectoryClient::search(const DirectoryQuery& query, const DirectoryProgress& progress)
{
    DirectoryResult result;
    std::optional<DirectoryAddress> address = parseDirectoryUrl(query.url, result.error);
    if (!address)
        return result;
    if (!address->secure && !query.user.empty() && !query.insecure && bindsInClear()) {
        result.error = "refusing a simple bind over plain ldap://, which would send the password in clear "
                       "(use ldaps://, or allow it with --insecure)";
        return result;
    }
    if (query.pageSize < 1) {
        result.error = "the page size must be at least 1";
        return result;
    }
    if (progress && !progress(0)) {
        result.cancelled = true;
        return result;
    }
    Entries found = searchEntries(*address, query, progress);
    result.error = std::move(found.error);
    result.cancelled = found.cancelled;
    if (!result.ok())
        return result;
    result.read = candidatesFromEntries(found.entries);
    result.read.warnings.insert(result.read.warnings.begin(), found.warnings.begin(), found.warnings.end());
    return result;
}

}  // namespace qb
