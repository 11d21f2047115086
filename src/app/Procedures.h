#pragma once

class QTreeWidget;

namespace app {

class Form1;

// Which correction panel ViderChamps empties.
enum class Panneau { Client, Technique };

// Empties the chosen panel, then sets every text box of the window, on any tab,
// black on white and disabled.
void ViderChamps(Form1& form, Panneau panneau);

// Colours the fields of a panel from the marks of the list's selected row:
// "x" (exactly) is an error, white on red; anything else black on white.
// The sheet list is told apart by its name "ListCliTech"; any other list is the
// client list.
void CouleurChamps(Form1& form, QTreeWidget* liste);

}  // namespace app
