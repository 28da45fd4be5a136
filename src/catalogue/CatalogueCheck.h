// Finds what a catalogue file holds that the program would not read back as
// written: values that the reader cuts or shifts, lines it ignores, a custom
// command that turns into a separator, icons the icon strip does not have.
// For people who keep the file by hand or from scripts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qb {

struct CheckFinding {
    size_t line = 0;  // 1-based, counted as the reader counts lines
    std::string message;
};

// One finding per problem, in line order; empty when every line reads back
// as it stands (up to the spelling of numbers and tags that the writer
// normalises without changing a value).
std::vector<CheckFinding> checkCatalogue(std::string_view bytes);

}  // namespace qb
