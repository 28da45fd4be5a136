#include "launch/Browser.h"

namespace qb {

std::string defaultBrowserFromCommand(std::string_view command)
{
    if (command.empty())
        return {};
    if (command.front() == '"') {
        const auto close = command.find('"', 1);
        if (close != std::string_view::npos)
            return std::string(command.substr(1, close - 1));
        // An unclosed quote: the path ends at the first blank after its last
        // folder separator, since blanks before it belong to folder names.
        const auto slash = command.rfind('\\');
        if (slash != std::string_view::npos) {
            const auto blank = command.find(' ', slash);
            if (blank != std::string_view::npos)
                return std::string(command.substr(0, blank));
        }
        return std::string(command);
    }
    return std::string(command.substr(0, command.find(' ')));
}

std::string GetDefaultBrowser(BrowserSource& source)
{
    return defaultBrowserFromCommand(source.registeredCommand());
}

}  // namespace qb
