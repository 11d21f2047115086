#include "export/LectureTable.h"

#include <QFileInfo>

#include "store/Erreur.h"

namespace exports {

namespace {

QString nomBase(const store::Connexion& cn) {
    return QFileInfo(cn.chemin()).fileName();
}

QString verifierTable(const store::Connexion& cn, const QString& table, int nbColonnes) {
    if (!cn.tableExiste(table)) {
        throw store::ErreurStore(
            QStringLiteral("La table « %1 » est introuvable dans la base de données « %2 ».")
                .arg(table, nomBase(cn)));
    }
    const int n = static_cast<int>(cn.colonnes(table).size());
    if (n < nbColonnes) {
        throw store::ErreurStore(
            QStringLiteral("La table « %1 » de « %2 » n'a que %3 colonnes ; l'export en lit %4.")
                .arg(table, nomBase(cn))
                .arg(n)
                .arg(nbColonnes));
    }
    return QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(store::citer(table));
}

}  // namespace

LectureTable::LectureTable(store::Connexion& cn, const QString& table, int nbColonnes,
                           const QString& cle)
    : m_lecture(cn), m_lignes(cn, verifierTable(cn, table, nbColonnes)) {
    for (int i = 0; i < m_lignes.nbColonnes(); ++i) {
        m_dates.push_back(store::typeDate(m_lignes.typeDeclare(i)));
        if (m_indexCle < 0 && m_lignes.nomColonne(i).toCaseFolded() == cle.toCaseFolded()) {
            m_indexCle = i;
        }
    }
    if (m_indexCle < 0) {
        throw store::ErreurStore(
            QStringLiteral("Le champ « %1 » est introuvable dans la table « %2 ».")
                .arg(cle, table));
    }
    store::Instruction compte(cn,
                              QStringLiteral("SELECT count(*) FROM %1").arg(store::citer(table)));
    compte.avancer();
    m_total = compte.colonneEntier(0);
}

bool LectureTable::suivante() {
    return m_lignes.avancer();
}

store::Valeur LectureTable::valeur(int position) const {
    return m_lignes.colonne(position, m_dates[static_cast<std::size_t>(position)]);
}

store::Valeur LectureTable::cle() const {
    return valeur(m_indexCle);
}

}  // namespace exports
