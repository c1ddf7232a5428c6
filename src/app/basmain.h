// The program's entry: one instance, the toolkit's preparation, and the main window.
#pragma once

namespace basmain {
int Main(int argc, char **argv);
// Font substitutions for the faces the designs name, where the system lacks them.
bool StartCommonControls();
} // namespace basmain
