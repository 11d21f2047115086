#pragma once

#include <QString>

// The forms in which two clients' values are compared.
namespace doublons {

// Capitals without accents, one blank between words, hyphens, apostrophes and
// every other sign taken as a blank: "Marie-Claire " and "MARIE  CLAIRE" both
// give "MARIE CLAIRE", "d'Almeida" gives "D ALMEIDA". Digits are kept (addresses).
QString normaliserNom(const QString& nom);

// The digits of a telephone number, a leading +33 or 0033 read as 0 and the
// letter O as the digit 0; nine digits that do not start with 0 get it back.
// Empty when fewer than nine digits are left: too little to tell a person by.
QString normaliserTelephone(const QString& telephone);

// Lower case, blanks around removed.
QString normaliserEmail(const QString& email);

// A French sound key of a name: names written differently that sound alike
// share it ("SOPHIE" and "Sofie", "Catherine" and "KATHERINE", "DUPONT" and
// "Dupond"), while a mother's and daughter's usual names keep apart ("ANNE"
// and "ANNIE", "JEAN" and "JEANNE", "LOUIS" and "LOUISE"). Blanks and digits
// are ignored; empty for a name without letters.
QString clePhonetique(const QString& nom);

}  // namespace doublons
