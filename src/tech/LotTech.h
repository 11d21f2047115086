#pragma once

namespace app::batch {
struct Contexte;
}

namespace tech {

// --analyse-techniques: the sheet analysis without a window. Prints the rows
// of ListCliTech, then those of ListMemo, then the count caption and, when no
// sheet lacks its family, the window's message.
int analyserTechniques(app::batch::Contexte& contexte);

}  // namespace tech
