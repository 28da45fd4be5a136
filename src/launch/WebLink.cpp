#include "launch/WebLink.h"

namespace qb {

std::optional<std::string> handlerCommandLine(std::string_view registeredCommand, std::string_view target)
{
    std::string_view command = registeredCommand;
    size_t cut = command.find("\"%1\"");
    if (cut == std::string_view::npos)
        cut = command.find("%1");
    if (cut != std::string_view::npos)
        command = command.substr(0, cut);

    std::string line;
    line.reserve(command.size() + 1 + target.size());
    line.append(command);
    line += ' ';
    line.append(target);
    if (line.size() >= kLinkCommandLineBuffer)
        return std::nullopt;
    return line;
}

int openLinkTarget(const std::string& target, int show, LinkSystem& system)
{
    const int shellResult = system.shellOpen(target, show);
    if (shellResult > 32)
        return shellResult;

    std::string className;
    if (!system.readClassesRootDefault(".htm", className))
        return shellResult;
    std::string command;
    if (!system.readClassesRootDefault(className + "\\shell\\open\\command", command))
        return shellResult;
    std::optional<std::string> line = handlerCommandLine(command, target);
    if (!line)
        return shellResult;
    return system.startProgram(*line, show);
}

std::string openFailureText(int code)
{
    const char* reason = nullptr;
    switch (code) {
    case 0: reason = "The operating system is out\nof memory or resources."; break;
    case 2: reason = "The specified file was not found."; break;
    case 3: reason = "The specified path was not found."; break;
    case 5: reason = "The operating system denied\naccess to the specified file."; break;
    case 8: reason = "There was not enough memory to complete the operation."; break;
    case 11: reason = "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."; break;
    case 26: reason = "A sharing violation occurred. "; break;
    case 27: reason = "The filename association is\nincomplete or invalid."; break;
    case 28: reason = "The DDE transaction could not\nbe completed because the request timed out."; break;
    case 29: reason = "The DDE transaction failed."; break;
    case 30:
        reason = "The DDE transaction could not\nbe completed because other DDE transactions\n"
                 "were being processed.";
        break;
    case 31: reason = "There is no application associated\nwith the given filename extension."; break;
    case 32: reason = "The specified dynamic-link library was not found."; break;
    default: break;
    }
    std::string text = "Unable to open hyperlink:\n\n";
    if (reason)
        text += reason;
    else
        text += "Unknown Error (" + std::to_string(code) + ") occurred.";
    return text;
}

}  // namespace qb
