#pragma once

#include <optional>
#include <string>
#include <vector>

namespace faceto::cli {

// The names of the commands, in the order the help lists them.
std::vector<std::string> commandNames();

// The help of one command: its synopsis, what it does, its own options and those of every command; none
// when there is no such command. Every line fits 80 columns.
std::optional<std::string> commandHelp(const std::string& command);

// The whole help: every command's synopsis and summary, then every option. Every line fits 80 columns.
std::string generalHelp();

} // namespace faceto::cli
