// UTF-8 at the edges (SQLite, the web) and the program's CP936 text, through the system's
// code-page functions.
#pragma once

#include <string>
#include <string_view>

#include "shell/SharedTypes.h"

std::string AnsiToUtf8(std::string_view text);
AnsiText Utf8ToAnsiText(std::string_view utf8);
// Program text as the terminal expects it (GetConsoleOutputCP), for lines written to stderr.
std::string AnsiToConsole(std::string_view text);
// What the terminal got back as program text: for reading diagnostics that were written.
AnsiText ConsoleToAnsi(std::string_view text);
// Writes one diagnostic line to stderr in the terminal's encoding.
void WriteDiagnosticLine(std::string_view text);
