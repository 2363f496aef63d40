// Whole runs kept as data, one folder per case:
//   about           one line: the rule or fault the case pins
//   args            the arguments, one per line (absent in prompt mode)
//   stdin           standard input
//   in/             the files in the working folder before the run
//   expected/stdout, expected/stderr, expected/status
//   expected/files/ every file in the working folder after the run
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "support/run_in_folder.h"

namespace tessovane2::testing {

// The case folders under `cases`, sorted.
std::vector<std::string> caseNames(const std::filesystem::path& cases);

// Runs the case in `caseFolder` with `program` in a scratch folder and
// expects its outputs byte for byte; a failure names the case's `about`.
void expectWholeRun(const std::filesystem::path& caseFolder, const RunFunction& program,
                    WrittenAs written = WrittenAs::Text);

}  // namespace tessovane2::testing
