// What a link label does when clicked, without the window: open the target
// through the shell, fall back to the program registered for web pages, and
// word the failure. The platform comes in through LinkSystem.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace qb {

// The fallback command line is limited like the platform's classic buffer:
// 520 characters including the terminating zero.
constexpr size_t kLinkCommandLineBuffer = 520;

class LinkSystem
{
public:
    virtual ~LinkSystem() = default;
    // The shell's "open" on the target; > 32 is success, else an error code.
    virtual int shellOpen(const std::string& target, int show) = 0;
    // Default value of a key under the classes root; false when the key or
    // its value cannot be read.
    virtual bool readClassesRootDefault(const std::string& subkey, std::string& value) = 0;
    // Starts a command line; its result reads like the shell's.
    virtual int startProgram(const std::string& commandLine, int show) = 0;
};

// The web-page handler's command cut before its quoted "%1" (or before a bare
// "%1" when unquoted; kept whole when it has neither), then a blank and the
// target. nullopt when the result would not fit the 520-character buffer:
// a cut-short target would open some other address.
std::optional<std::string> handlerCommandLine(std::string_view registeredCommand, std::string_view target);

// Opens the target; returns the shell's or the program starter's code.
// Whenever the fallback cannot even be tried (no ".htm" class, no command
// for it, a command line too long) the shell's own first error is returned,
// since that is why the link did not open.
int openLinkTarget(const std::string& target, int show, LinkSystem& system);

// "Unable to open hyperlink:\n\n" and the reason for a failed open's code.
std::string openFailureText(int code);

}  // namespace qb
