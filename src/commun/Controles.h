#pragma once

#include <QStringList>
#include <functional>

class QAbstractItemView;
class QLineEdit;
class QListWidget;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace commun {

// Applies a key filter (FiltreChiffres, FiltreChiffresPlus) to the printable
// characters typed or pasted into a box: a character whose code the filter
// replaces by 1 is dropped. Editing keys (Tab, Delete, arrows, the usual
// shortcuts) are not filtered; the box takes no drag and drop.
void installerFiltre(QLineEdit* zone, void (*filtre)(int&));

// A list that feeds a panel or boxes: `charger` runs whenever its selected row
// changes, by mouse, keys or type-ahead, and on a click on the row already
// selected, once per click. Changes made under a QSignalBlocker on the list
// do not run it.
void suivreSelection(QTreeWidget* liste, std::function<void()> charger);
void suivreSelection(QListWidget* liste, std::function<void()> charger);

// Sorted list boxes: the items show in alphabetical order (French rules,
// letter case aside), whatever order they are added in.
void ajouterTrie(QListWidget* liste, const QStringList& textes);
void remplirTrie(QListWidget* liste, const QStringList& textes);

// Design positions are given in twips: 15 to a pixel.
constexpr int pixels(int twips) {
    return twips / 15;
}
void placer(QWidget* w, int gauche, int haut, int largeur, int hauteur);

// The fonts of the salon's Windows desktop, mapped to the free ones of the
// machine, and the 8-point default that the design positions assume.
void appliquerPolices();

// The selected row of a list view, or nullptr when none is selected.
QTreeWidgetItem* ligneSelectionnee(const QTreeWidget* liste);

// "Error" and "correct" colours of a box: white on red, open or closed; black
// on white while open, and the usual look of a closed box while closed.
void colorer(QWidget* zone, bool enErreur);

// The wait cursor while a long step runs, put back on every way out.
class Attente {
public:
    Attente();
    ~Attente();
    Attente(const Attente&) = delete;
    Attente& operator=(const Attente&) = delete;
};

}  // namespace commun
