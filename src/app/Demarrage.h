#pragma once

namespace app {

// The program: the batch mode when a verb is given, the windows otherwise.
int demarrer(int argc, char** argv);

}  // namespace app
