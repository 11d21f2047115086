#pragma once

#include <QDialog>
#include <vector>

#include "doublons/Doublons.h"
#include "doublons/Membres.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;
class QTreeWidget;
namespace commun {
class Messages;
}

namespace doublons {

// "Doublons": the candidate groups, best first; the selected group side by
// side, one column per member and one row per field, the differences marked.
// The user picks the client to keep (list box or a click on its column's
// header), takes any value from another member (a click, or Enter, on its
// cell), then merges the group or says it is not a double. Either way the
// group leaves the list.
class FenetreDoublons : public QDialog {
    Q_OBJECT

public:
    FenetreDoublons(const QString& dossier, commun::Messages& messages, QWidget* parent = nullptr);
    ~FenetreDoublons() override;

    // Searches the folder's clients again and fills the list.
    void chercher();

    void btnFusionner_Click();
    void btnPasDoublon_Click();
    // The member (column) kept; every value goes back to that member's.
    void choisirGarde(int membre);
    // The value of that field (row) taken from that member (column).
    void prendre(int ligne, int membre);

    // What the merges done so far changed, for the owner's lists: the codes
    // deleted and the rows of the clients kept.
    const QStringList& codesPartis() const { return m_codesPartis; }
    const std::vector<qint64>& rowidsGardes() const { return m_rowidsGardes; }

private:
    void chargerGroupe();
    void afficherMembres();
    void retirerGroupe();
    const Groupe* groupeCourant() const;

    QString m_dossier;
    commun::Messages& m_messages;
    Resultat m_resultat;
    DetailGroupe m_detail;
    int m_garde = -1;
    std::vector<int> m_choix;
    QStringList m_codesPartis;
    std::vector<qint64> m_rowidsGardes;  // per column of FCLI: the member whose value is taken

    QLabel* m_bilan;
    QTreeWidget* m_groupes;
    QTableWidget* m_membres;
    QComboBox* m_cboGarde;
    QPushButton* m_btnFusionner;
    QPushButton* m_btnPasDoublon;
};

}  // namespace doublons
