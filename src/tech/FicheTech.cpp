#include "tech/FicheTech.h"

#include "store/Connexion.h"
#include "store/Erreur.h"
#include "store/Journal.h"
#include "store/Recordset.h"
#include "tech/AnalyseTech.h"

namespace tech {

namespace {

// The sheet's query, on a recordset whose rows can be written back.
void ouvrirFiche(store::Recordset& rs, store::Connexion& cn, const QString& numero) {
    bool nombre = false;
    const qint64 n = numero.trimmed().toLongLong(&nombre);
    // Spliced unquoted, so only a whole number goes in.
    if (!nombre) {
        throw store::ErreurStore(
            QStringLiteral("« %1 » n'est pas un numéro de fiche technique.").arg(numero));
    }
    rs.Open(QStringLiteral("select * from FTEC WHERE Numéro = %1").arg(n), cn);
    if (rs.Eof()) {
        throw store::ErreurStore(
            QStringLiteral("La fiche technique n° %1 est introuvable dans la table « FTEC ».")
                .arg(n));
    }
}

}  // namespace

FicheTech LireFiche(const QString& cheminBd, const QString& numero) {
    store::Connexion cn(cheminBd);
    store::Recordset rs;
    ouvrirFiche(rs, cn, numero);
    return {rs.Champ(QStringLiteral("Date")),    rs.Champ(QStringLiteral("Tech")),
            rs.Champ(QStringLiteral("Serv")),    rs.Champ(QStringLiteral("Divers1")),
            rs.Champ(QStringLiteral("Divers2")), rs.Champ(QStringLiteral("Famille")),
            rs.Champ(QStringLiteral("Mémo"))};
}

bool EcrireFamille(const QString& cheminBd, const QString& numero, const QString& famille) {
    store::Connexion cn(cheminBd);
    store::journal::activer(cn, operations::kFamille);
    store::Recordset rs;
    ouvrirFiche(rs, cn, numero);
    rs.EcrireChamp(QStringLiteral("Famille"), famille);
    rs.Update();
    return ErrFamille(rs.Champ(QStringLiteral("Famille")));
}

std::pair<QString, QString> couperMemo(const QString& memo) {
    if (memo.size() > kLongueurMemo) {
        return {memo.left(kLongueurMemo), memo.mid(kLongueurMemo)};
    }
    return {memo, {}};
}

bool erreurConversion(const store::ErreurStore& erreur) {
    // SQLite's SQLITE_MISMATCH, and SQLITE_CONSTRAINT_DATATYPE of a strict table.
    return erreur.code() == 20 || erreur.codeEtendu() == 3091;
}

}  // namespace tech
