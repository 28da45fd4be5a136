// What the editors say at OK about a typed text that the catalogue file
// cannot give back as typed: the field as its label names it, and why. The
// editor then stays open with the text as it is, so nothing is lost.
#pragma once

#include "catalogue/HostRecords.h"
#include "editors/OptionsValues.h"

#include <optional>
#include <string>

namespace qb {

template <class Record>
struct RefusedText {
    std::string Record::*field = nullptr;  // the text to correct
    std::string message;
};

// The host editor's title and host name.
std::optional<RefusedText<HostItem>> refuseHostText(const HostItem& host);
// The entry editor's fields of the entry's kind.
std::optional<RefusedText<CommandEntry>> refuseEntryText(const CommandEntry& entry);
// The Options dialog's alternate browser.
std::optional<std::string> refuseOptionsText(const OptionsForm& form);

// The host editor's "Add Windows Template Items": the machine's name and the
// drives as typed, judged by the entries they would make. `hostField` is true
// when the name is at fault, false for the drives.
struct RefusedTemplateText {
    bool hostField = false;
    std::string message;
};
std::optional<RefusedTemplateText> refuseTemplateTexts(const std::string& host, const std::string& drives);

}  // namespace qb
