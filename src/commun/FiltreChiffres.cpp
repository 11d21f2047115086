#include "commun/FiltreChiffres.h"

namespace commun {

void FiltreChiffres(int& code) {
    if ((code >= 48 && code <= 58) || code == 8) {
        return;
    }
    code = 1;
}

void FiltreChiffresPlus(int& code) {
    if (code == 43) {
        return;
    }
    FiltreChiffres(code);
}

}  // namespace commun
