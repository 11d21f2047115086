#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

#include "store/Connexion.h"

namespace commun {

// The shared towns reference (the connection `cnCommunes` and its reused
// recordset): opened by every client analysis run, closed with the main window.
// Values are bound to the queries, never spliced, so an apostrophe in a town
// ("L'HAY LES ROSES") is just a character.
class Communes {
public:
    Communes();
    ~Communes();
    Communes(const Communes&) = delete;
    Communes& operator=(const Communes&) = delete;

    // Opens dossier/communes.mdb, read only; replaces any earlier connection.
    void OuvreCommunes(const QString& dossier);
    bool ouverte() const { return m_cn.ouverte(); }
    // Closing ignores every failure.
    void Fermer() noexcept;

    // A town or postal code exists when at least one row holds it; text is
    // compared without regard to letter case.
    bool ExisteCp(const QString& codePostal);
    bool ExisteVille(const QString& ville);
    // The towns whose postal code starts with the prefix, in row order.
    QStringList RemplitVilles(const QString& prefixe);
    // The first postal code of the town that starts with the prefix, if any.
    std::optional<QString> ChercheCpVille(const QString& ville, const QString& prefixeCp);

private:
    store::Instruction& instruction(int requete);

    store::Connexion m_cn;
    std::unique_ptr<store::Instruction> m_requetes[4];
};

// The default town dialog's own queries: each opens a connection for itself.
QStringList ToutesVilles(const QString& dossier);
QStringList cpVilles(const QString& dossier, const QString& prefixe);
std::optional<QString> cpVille(const QString& dossier, const QString& ville);

// The query texts, one per use.
namespace requetes {
inline const QString kExisteCp = QStringLiteral("Select * from communes WHERE CodePostal = ?");
inline const QString kExisteVille =
    QStringLiteral("Select commune from communes WHERE Commune = ?");
inline const QString kRemplitVilles =
    QStringLiteral("Select commune from communes WHERE CodePostal like ?");
inline const QString kChercheCpVille =
    QStringLiteral("Select CodePostal from communes WHERE Commune = ? and CodePostal like ?");
inline const QString kToutesVilles = QStringLiteral("Select commune from communes ");
inline const QString kCpVilles = kRemplitVilles;
inline const QString kCpVille = QStringLiteral("Select CodePostal from communes WHERE Commune = ?");
}  // namespace requetes

}  // namespace commun
