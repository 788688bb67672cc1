#pragma once

#include "cli/CommandLineOption.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace cli {

// Every option of kirimo-extract, in the order the help shows them. Parsing, --help and the
// manual page (made from --help) all read this one table.
std::span<const CommandLineOption> optionTable();

// The entry named or aliased `name`; nullptr when there is none.
const CommandLineOption* findOption(std::string_view name);

// Where an option's help text starts on its line.
constexpr std::size_t helpColumn = 19;

// What --help prints.
std::string helpText();

} // namespace cli
