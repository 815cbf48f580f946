// The launcher's process entry.
#include "shell/startup/Launcher.h"

int main() { return RunLauncher(); }
