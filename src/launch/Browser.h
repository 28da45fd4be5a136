// Which program opens a web address: the alternate browser of the options,
// or the default one registered for "http". The registered command text is
// handed in, so that the rule can run (and be tested) without a registry.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace qb {

// Source of the registered command line of the "http" handler (the default
// value of HKCR\http\shell\open\command). Read afresh on every call, never
// cached: a change of the default browser shows at the next menu build.
// Every failure yields the empty text.
class BrowserSource
{
public:
    virtual ~BrowserSource() = default;
    virtual std::string registeredCommand() = 0;
};

// The program path of a registered command line: a quoted path without its
// quotes; an unquoted path cut at its first blank; an unclosed quote up to the
// first blank after the last backslash, opening quote kept; else the whole.
std::string defaultBrowserFromCommand(std::string_view commandText);

// The default browser's program path, or "" when none is registered.
std::string GetDefaultBrowser(BrowserSource& source);

// The machine's own source: the registry on Windows, nothing elsewhere.
std::unique_ptr<BrowserSource> makeSystemBrowserSource();

}  // namespace qb
