#include "app/Demarrage.h"

namespace app {

int demarrer(int, char**) {
    return 0;
}

}  // namespace app
