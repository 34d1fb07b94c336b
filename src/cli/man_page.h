// The manual page of the command-line program, written from the same option
// table as its --help, so that the two never disagree.
#pragma once

#include <CLI/CLI.hpp>
#include <ostream>

namespace trovisk {

// Writes the page in man(7) format: name, synopsis, every visible option
// with its value, default and description, exit status, files and an example.
void WriteManPage(const CLI::App& app, const char* version, std::ostream& out);

}  // namespace trovisk
