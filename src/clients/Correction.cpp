#include "clients/Correction.h"

#include "clients/Annulation.h"
#include "commun/Variables.h"
#include "store/Connexion.h"
#include "store/Journal.h"
#include "store/Recordset.h"

namespace clients {

namespace {

const QString kFCLI = QStringLiteral("FCLI");

// The columns the panel shows.
const QStringList& colonnesPanneau() {
    static const QStringList c = {
        QStringLiteral("Nom"),          QStringLiteral("Prénom"),  QStringLiteral("Adresse"),
        QStringLiteral("Adresse2"),     QStringLiteral("Ville"),   QStringLiteral("Code Postal"),
        QStringLiteral("Tel1"),         QStringLiteral("Tel2"),    QStringLiteral("Email"),
        QStringLiteral("Cat, Age"),     QStringLiteral("GenCode"), QStringLiteral("Mois Nais"),
        QStringLiteral("DateNaissance")};
    return c;
}

// Stands on the client; false when it is not there. Find ignores letter case:
// of two codes that differ only by it (A12, a12), the one written so wins.
bool trouver(store::Recordset& rs, const QString& code) {
    if (rs.Eof()) {
        return false;
    }
    const QString critere = critereClient(code);
    rs.MoveFirst();
    rs.Find(critere);
    const qint64 premier = rs.Position();
    while (!rs.Eof() && rs.Champ(QStringLiteral("Code")).texte() != code) {
        rs.MoveNext();
        rs.Find(critere);
    }
    if (rs.Eof() && premier < rs.RecordCount()) {
        rs.MoveFirst();
        rs.Find(critere);
    }
    return !rs.Eof();
}

}  // namespace

QString critereClient(const QString& code) {
    const bool majuscule = !code.isEmpty() && code[0] >= u'A' && code[0] <= u'Z';
    if (majuscule) {
        return QStringLiteral("Code = '") + store::doublerApostrophes(code) + u'\'';
    }
    return QStringLiteral("Code = ") + code;
}

std::optional<FicheClient> chargerClient(commun::Variables& vars, const QString& code) {
    vars.CheminBd = vars.cheminBd();
    store::Connexion cn(vars.CheminBd);
    store::Recordset rs;
    rs.Open(kFCLI, cn);
    vars.NbCli = static_cast<int>(rs.RecordCount());
    if (!trouver(rs, code)) {
        return std::nullopt;
    }
    FicheClient f;
    for (const QString& c : colonnesPanneau()) {
        const store::Valeur v = rs.Champ(c);
        f.textes.insert(c, v.texte());
        f.nuls.insert(c, v.estNull());
    }
    return f;
}

std::optional<Reverification> enregistrerChamp(commun::Variables& vars, const QString& code,
                                               const Enregistrement& e) {
    vars.CheminBd = vars.cheminBd();
    store::Connexion cn(vars.CheminBd);
    store::journal::activer(cn, e.ville ? operations::kCodePostal : operations::kCorrection);
    store::Recordset rs;
    rs.Open(kFCLI, cn);
    if (!trouver(rs, code)) {
        return std::nullopt;
    }
    rs.EcrireChamp(e.colonne, store::Valeur::texte(e.texte));
    if (e.ville) {
        rs.EcrireChamp(QStringLiteral("Ville"), store::Valeur::texte(*e.ville));
    }
    rs.Update();
    if (!vars.cnCommunes.ouverte()) {
        vars.cnCommunes.OuvreCommunes(vars.dossier);
    }
    Reverification r;
    r.evaluation = AnalyseClient(rs, vars.cnCommunes);
    r.nbClients = static_cast<int>(rs.RecordCount());
    vars.NomClient = r.evaluation.NomClient;
    vars.CodeClient = r.evaluation.CodeClient;
    return r;
}

std::optional<QString> renduDeuxChiffres(const QString& texte) {
    if (texte.isEmpty()) {
        return texte;
    }
    const auto n = lireNombre(texte);
    if (!n) {
        return std::nullopt;
    }
    return formatDeuxChiffres(*n);
}

QString legendeLongueur(const QString& nom, const std::optional<QString>& valeur) {
    return nom + QStringLiteral("     { ") +
           (valeur ? QString::number(valeur->size()) : QString()) + QStringLiteral(" }");
}

}  // namespace clients
