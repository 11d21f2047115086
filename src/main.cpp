#include "app/Demarrage.h"

int main(int argc, char** argv) {
    return app::demarrer(argc, argv);
}
