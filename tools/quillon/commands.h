// Sub-commands of the `quillon` command-line tool. Each family lives in its
// own file; main.cpp only dispatches.
#pragma once

#include <string>
#include <vector>

namespace quillon::cli {

using Args = std::vector<std::string>; // arguments after the family name

int analyzerCommand(const Args& args); // quillon analyzer info|dump FILE
int lznt1Command(const Args& args);    // quillon lznt1 compress|decompress IN OUT
int macroCommand(const Args& args);    // quillon macro ...
int reportCommand(const Args& args);   // quillon analyzer report TRACE -o PAGE

// One line per command of the family, for --help.
const char* analyzerHelp();
const char* lznt1Help();
const char* macroHelp();
const char* reportHelp();

} // namespace quillon::cli
