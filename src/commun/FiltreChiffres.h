#pragma once

namespace commun {

// Key filters of the postal code, age category, month, telephone and bar code
// boxes. They receive the typed character code and replace a refused one by 1,
// which the box drops. Codes 48 to 58 (the digits, and the colon that follows
// them in the code table) and 8 (backspace) pass.
void FiltreChiffres(int& code);
// The same, and 43 (the plus sign) too.
void FiltreChiffresPlus(int& code);

}  // namespace commun
