// The launcher's process entry.
#include "shell/startup/StartUp.h"

int main() { return RunLauncher(); }
