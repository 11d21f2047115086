#include "store/Recordset.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

#include "store/Erreur.h"
#include "store/Jet.h"

namespace store {

struct Recordset::Etat {
    std::unique_ptr<Instruction> lecture;      // one row by its row id
    std::map<QString, Instruction> ecritures;  // UPDATE by set of columns
};

namespace {

QString nomBase(const Connexion& cn) {
    return QFileInfo(cn.chemin()).fileName();
}

}  // namespace

Recordset::Recordset() : m_etat(std::make_unique<Etat>()) {}
Recordset::~Recordset() = default;
Recordset::Recordset(Recordset&&) noexcept = default;
Recordset& Recordset::operator=(Recordset&&) noexcept = default;

void Recordset::Open(const QString& source, Connexion& cn) {
    Close();
    if (!m_etat) {
        m_etat = std::make_unique<Etat>();
    }
    static const QRegularExpression identifiant(
        QStringLiteral(R"(^\s*(\[[^\]]+\]|"[^"]+"|[^\s;()'"]+)\s*$)"));
    if (identifiant.match(source).hasMatch()) {
        ouvrirTable(jet::sansCrochets(source), cn);
    } else {
        ouvrirRequete(source, cn);
    }
}

void Recordset::ouvrirTable(const QString& nom, Connexion& cn) {
    const QString table = cn.nomTable(nom);
    if (table.isEmpty()) {
        throw ErreurStore(
            QStringLiteral("La table « %1 » est introuvable dans la base de données « %2 ».")
                .arg(nom, nomBase(cn)),
            1, 1, nom);
    }
    m_etat->lecture = std::make_unique<Instruction>(
        cn, QStringLiteral("SELECT * FROM %1 WHERE rowid = ?").arg(citer(table)));
    for (int i = 0; i < m_etat->lecture->nbColonnes(); ++i) {
        m_noms << m_etat->lecture->nomColonne(i);
        m_dates.push_back(typeDate(m_etat->lecture->typeDeclare(i)));
    }
    Instruction cles(cn, QStringLiteral("SELECT rowid FROM %1 ORDER BY rowid").arg(citer(table)));
    while (cles.avancer()) {
        m_cles.push_back(cles.colonneEntier(0));
    }
    m_modeTable = true;
    m_table = table;
    m_cn = &cn;
    m_ouvert = true;
    for (int i = 0; i < m_noms.size(); ++i) {
        m_index.insert(m_noms[i].toCaseFolded(), i);
    }
}

void Recordset::ouvrirRequete(const QString& sqlJet, Connexion& cn) {
    const auto lecture = jet::traduireLecture(sqlJet, cn);
    if (!lecture) {
        // DELETE, UPDATE, INSERT, ALTER: carried out, the recordset stays closed.
        cn.executerJet(sqlJet);
        return;
    }
    // A writable result reads its row ids first.
    m_table = lecture->table;
    const bool avecCle = !m_table.isEmpty();
    Instruction i(cn, lecture->sql);
    const int debut = avecCle ? 1 : 0;
    for (int c = debut; c < i.nbColonnes(); ++c) {
        m_noms << i.nomColonne(c);
        m_dates.push_back(typeDate(i.typeDeclare(c)));
    }
    while (i.avancer()) {
        std::vector<Valeur> ligne;
        ligne.reserve(m_noms.size());
        for (int c = debut; c < i.nbColonnes(); ++c) {
            ligne.push_back(i.colonne(c, m_dates[c - debut]));
        }
        m_lignes.push_back(std::move(ligne));
        if (avecCle) {
            m_cles.push_back(i.colonneEntier(0));
        }
    }
    m_modeTable = false;
    m_cn = &cn;
    m_ouvert = true;
    for (int c = 0; c < m_noms.size(); ++c) {
        m_index.insert(m_noms[c].toCaseFolded(), c);
    }
}

void Recordset::Close() noexcept {
    m_ouvert = false;
    m_cn = nullptr;
    m_table.clear();
    m_noms.clear();
    m_dates.clear();
    m_index.clear();
    m_modeTable = false;
    m_cles.clear();
    m_lignes.clear();
    m_position = 0;
    m_courante.clear();
    m_positionChargee = -1;
    m_modifs.clear();
    if (m_etat) {
        m_etat->lecture.reset();
        m_etat->ecritures.clear();
    }
}

void Recordset::exigerOuvert() const {
    if (!m_ouvert) {
        throw ErreurStore(QStringLiteral("Le jeu d'enregistrements est fermé."));
    }
}

void Recordset::exigerLigne() const {
    exigerOuvert();
    if (Eof()) {
        throw ErreurStore(QStringLiteral("Aucun enregistrement courant."));
    }
}

qint64 Recordset::RecordCount() const {
    exigerOuvert();
    return m_modeTable ? static_cast<qint64>(m_cles.size()) : static_cast<qint64>(m_lignes.size());
}

bool Recordset::Eof() const {
    return !m_ouvert || m_position >= RecordCount();
}

void Recordset::MoveFirst() {
    exigerOuvert();
    if (!m_modifs.empty()) {
        Update();
    }
    m_position = 0;
}

void Recordset::MoveNext() {
    exigerLigne();
    if (!m_modifs.empty()) {
        Update();
    }
    ++m_position;
}

void Recordset::chargerLigne() const {
    if (!m_modeTable || m_positionChargee == m_position) {
        return;
    }
    Instruction& l = *m_etat->lecture;
    l.reinitialiser();
    l.lier(1, m_cles[static_cast<std::size_t>(m_position)]);
    if (!l.avancer()) {
        throw ErreurStore(
            QStringLiteral("L'enregistrement n'existe plus dans la table « %1 ».").arg(m_table));
    }
    m_courante.resize(m_noms.size());
    for (int c = 0; c < m_noms.size(); ++c) {
        m_courante[c] = l.colonne(c, m_dates[c]);
    }
    l.reinitialiser();
    m_positionChargee = m_position;
}

int Recordset::IndexChamp(const QString& nom) const {
    return m_index.value(nom.toCaseFolded(), -1);
}

int Recordset::indexOuErreur(const QString& nom) const {
    exigerOuvert();
    const int i = IndexChamp(nom);
    if (i < 0) {
        throw ErreurStore(
            QStringLiteral("Le champ « %1 » est introuvable%2.")
                .arg(nom, m_table.isEmpty()
                              ? QString()
                              : QStringLiteral(" dans la table « %1 »").arg(m_table)));
    }
    return i;
}

Valeur Recordset::Champ(const QString& nom) const {
    return Champ(indexOuErreur(nom));
}

Valeur Recordset::Champ(int index) const {
    exigerLigne();
    if (index < 0 || index >= m_noms.size()) {
        throw ErreurStore(QStringLiteral("Champ n° %1 inexistant.").arg(index));
    }
    if (m_modeTable) {
        chargerLigne();
        return m_courante[index];
    }
    return m_lignes[static_cast<std::size_t>(m_position)][index];
}

void Recordset::EcrireChamp(const QString& nom, const Valeur& valeur) {
    EcrireChamp(indexOuErreur(nom), valeur);
}

void Recordset::EcrireChamp(int index, const Valeur& valeur) {
    if (Champ(index) == valeur) {
        return;
    }
    if (m_table.isEmpty() || (!m_modeTable && m_cles.empty())) {
        throw ErreurStore(QStringLiteral("Ce jeu d'enregistrements est en lecture seule."));
    }
    if (m_modeTable) {
        m_courante[index] = valeur;
    } else {
        m_lignes[static_cast<std::size_t>(m_position)][index] = valeur;
    }
    m_modifs[index] = valeur;
}

void Recordset::Update() {
    if (m_modifs.empty()) {
        return;
    }
    exigerLigne();
    QString cle;
    QStringList affectations;
    for (const auto& [index, valeur] : m_modifs) {
        cle += QString::number(index) + u',';
        affectations << citer(m_noms[index]) + QStringLiteral(" = ?");
    }
    auto it = m_etat->ecritures.find(cle);
    if (it == m_etat->ecritures.end()) {
        it =
            m_etat->ecritures
                .emplace(cle, Instruction(*m_cn, QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                                                     .arg(citer(m_table), affectations.join(u','))))
                .first;
    }
    Instruction& ecriture = it->second;
    ecriture.reinitialiser();
    int n = 1;
    for (const auto& [index, valeur] : m_modifs) {
        ecriture.lier(n++, valeur);
    }
    ecriture.lier(n, m_cles[static_cast<std::size_t>(m_position)]);
    ecriture.executer();
    const bool ecrit = m_cn->lignesModifiees() > 0;
    ecriture.reinitialiser();
    m_modifs.clear();
    if (!ecrit) {
        m_positionChargee = -1;
        throw ErreurStore(
            QStringLiteral("L'enregistrement n'existe plus dans la table « %1 ».").arg(m_table));
    }
}

void Recordset::Find(const QString& critere) {
    exigerOuvert();
    static const QRegularExpression forme(
        QStringLiteral(R"(^\s*(\[[^\]]+\]|"[^"]+"|[^\s=<>]+)\s*=\s*(.*?)\s*$)"),
        QRegularExpression::DotMatchesEverythingOption);
    const auto m = forme.match(critere);
    if (!m.hasMatch()) {
        throw ErreurStore(
            QStringLiteral("Critère de recherche non pris en charge : %1").arg(critere));
    }
    const int index = indexOuErreur(jet::sansCrochets(m.captured(1)));
    QString valeur = m.captured(2);
    if (valeur.size() >= 2 && valeur.startsWith(u'\'') && valeur.endsWith(u'\'')) {
        valeur =
            valeur.mid(1, valeur.size() - 2).replace(QStringLiteral("''"), QStringLiteral("'"));
    }
    if (!m_modifs.empty()) {
        Update();
    }
    const qint64 total = RecordCount();
    if (m_position >= total) {
        return;
    }
    if (m_modeTable) {
        // Compared as text, so "0123" and "a12" find their client, and ASCII
        // letter case aside whatever the column declares, as the store compares text.
        Instruction cherche(
            *m_cn, QStringLiteral("SELECT rowid FROM %1 WHERE CAST(%2 AS TEXT) = ? COLLATE NOCASE "
                                  "AND rowid >= ? ORDER BY rowid")
                       .arg(citer(m_table), citer(m_noms[index])));
        cherche.lier(1, valeur);
        cherche.lier(2, m_cles[static_cast<std::size_t>(m_position)]);
        while (cherche.avancer()) {
            const qint64 rowid = cherche.colonneEntier(0);
            const auto it = std::lower_bound(m_cles.begin() + m_position, m_cles.end(), rowid);
            if (it != m_cles.end() && *it == rowid) {
                m_position = it - m_cles.begin();
                return;
            }
        }
        m_position = total;
        return;
    }
    const QString cherche = sansCasse(valeur);
    for (; m_position < total; ++m_position) {
        if (sansCasse(m_lignes[static_cast<std::size_t>(m_position)][index].texte()) == cherche) {
            return;
        }
    }
}

}  // namespace store
