// The end of a run that cannot go on (its toolkit library or one of its layouts cannot be
// loaded): the reason goes to stderr and into a message box, then the process exits with code 1.
#pragma once

#include "shell/SharedTypes.h"

[[noreturn]] void StopWithMessage(const AnsiText& message);
