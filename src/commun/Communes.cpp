#include "commun/Communes.h"

#include <QDir>
#include <algorithm>

namespace commun {

namespace {

enum Requete { kCp, kVille, kVilles, kCpDeVille };

QString cheminReference(const QString& dossier) {
    return QDir(dossier).filePath(QStringLiteral("communes.mdb"));
}

// A LIKE pattern for "starts with". The prefix is not escaped: the postal code
// boxes only take digits and ":", so it never holds a wildcard.
QString commencePar(const QString& prefixe) {
    return prefixe + u'%';
}

QStringList premiereColonne(store::Instruction& i) {
    QStringList valeurs;
    while (i.avancer()) {
        valeurs << i.colonneTexte(0);
    }
    return valeurs;
}

}  // namespace

Communes::Communes() = default;
Communes::~Communes() {
    Fermer();
}

void Communes::OuvreCommunes(const QString& dossier) {
    Fermer();
    m_cn = store::Connexion(cheminReference(dossier), store::Connexion::Acces::Lecture);
    // Towns and postal codes compare without regard to letter case. A reference
    // that does not declare its columns so (made by another tool) is read
    // through a copy that does, in memory and for this connection only: it
    // hides the file's table from the queries, and the file stays as it is.
    const QStringList colonnes = {QStringLiteral("CodePostal"), QStringLiteral("Commune")};
    const bool aCopier = std::any_of(colonnes.begin(), colonnes.end(), [this](const QString& c) {
        const QString sequence = m_cn.collation(QStringLiteral("communes"), c);
        return !sequence.isEmpty() &&
               sequence.compare(QLatin1String("NOCASE"), Qt::CaseInsensitive) != 0;
    });
    if (aCopier) {
        m_cn.executerSqlite(QStringLiteral(
            "PRAGMA temp_store = MEMORY; "
            "CREATE TEMP TABLE communes (\"CodePostal\" TEXT COLLATE NOCASE, "
            "\"Commune\" TEXT COLLATE NOCASE); "
            "INSERT INTO temp.communes SELECT \"CodePostal\", \"Commune\" FROM main.communes; "
            "CREATE INDEX temp.communes_CodePostal ON communes (\"CodePostal\"); "
            "CREATE INDEX temp.communes_Commune ON communes (\"Commune\");"));
    }
}

void Communes::Fermer() noexcept {
    for (auto& r : m_requetes) {
        r.reset();
    }
    m_cn.Close();
}

store::Instruction& Communes::instruction(int requete) {
    static const QString* const textes[] = {&requetes::kExisteCp, &requetes::kExisteVille,
                                            &requetes::kRemplitVilles, &requetes::kChercheCpVille};
    auto& r = m_requetes[requete];
    if (!r) {
        r = std::make_unique<store::Instruction>(m_cn, *textes[requete]);
    }
    r->reinitialiser();
    return *r;
}

bool Communes::ExisteCp(const QString& codePostal) {
    store::Instruction& i = instruction(kCp);
    i.lier(1, codePostal);
    const bool trouve = i.avancer();
    i.reinitialiser();
    return trouve;
}

bool Communes::ExisteVille(const QString& ville) {
    store::Instruction& i = instruction(kVille);
    i.lier(1, ville);
    const bool trouve = i.avancer();
    i.reinitialiser();
    return trouve;
}

QStringList Communes::RemplitVilles(const QString& prefixe) {
    store::Instruction& i = instruction(kVilles);
    i.lier(1, commencePar(prefixe));
    QStringList villes = premiereColonne(i);
    i.reinitialiser();
    return villes;
}

std::optional<QString> Communes::ChercheCpVille(const QString& ville, const QString& prefixeCp) {
    store::Instruction& i = instruction(kCpDeVille);
    i.lier(1, ville).lier(2, commencePar(prefixeCp));
    std::optional<QString> cp;
    if (i.avancer()) {
        cp = i.colonneTexte(0);
    }
    i.reinitialiser();
    return cp;
}

QStringList ToutesVilles(const QString& dossier) {
    store::Connexion cn(cheminReference(dossier), store::Connexion::Acces::Lecture);
    store::Instruction i(cn, requetes::kToutesVilles);
    return premiereColonne(i);
}

QStringList cpVilles(const QString& dossier, const QString& prefixe) {
    store::Connexion cn(cheminReference(dossier), store::Connexion::Acces::Lecture);
    store::Instruction i(cn, requetes::kCpVilles);
    i.lier(1, commencePar(prefixe));
    return premiereColonne(i);
}

std::optional<QString> cpVille(const QString& dossier, const QString& ville) {
    store::Connexion cn(cheminReference(dossier), store::Connexion::Acces::Lecture);
    store::Instruction i(cn, requetes::kCpVille);
    i.lier(1, ville);
    if (i.avancer()) {
        return i.colonneTexte(0);
    }
    return std::nullopt;
}

}  // namespace commun
