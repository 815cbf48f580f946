// Runs a shell command and returns what it printed, without trailing blanks or line breaks.
#pragma once

#include <string>

std::string CommandOutput(const std::string& command);
