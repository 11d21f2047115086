#include "store/Schema.h"

#include <QFileInfo>

#include "store/Connexion.h"
#include "store/Erreur.h"

namespace store::schema {

const QStringList& colonnesFCLI() {
    static const QStringList c = {
        QStringLiteral("Numéro"),   QStringLiteral("Code"),          QStringLiteral("Date Création"),
        QStringLiteral("Nom"),      QStringLiteral("Prénom"),        QStringLiteral("Adresse"),
        QStringLiteral("Ville"),    QStringLiteral("Code Postal"),   QStringLiteral("Cat, Age"),
        QStringLiteral("Mois Nais"), QStringLiteral("Sexe"),         QStringLiteral("Tel1"),
        QStringLiteral("Tel2"),     QStringLiteral("Coiffeur"),      QStringLiteral("R/F"),
        QStringLiteral("N/C"),      QStringLiteral("DateNaissance"), QStringLiteral("Carte"),
        QStringLiteral("Points"),   QStringLiteral("Leader"),        QStringLiteral("GenCode"),
        QStringLiteral("Adresse2"), QStringLiteral("Email")};
    return c;
}

const QStringList& colonnesFTEC() {
    static const QStringList c = {
        QStringLiteral("Numéro"),  QStringLiteral("Code_Client"), QStringLiteral("Date"),
        QStringLiteral("Tech"),    QStringLiteral("Serv"),        QStringLiteral("Divers1"),
        QStringLiteral("Divers2"), QStringLiteral("Famille"),     QStringLiteral("Mémo")};
    return c;
}

const QStringList& colonnesFCONS() {
    static const QStringList c = {QStringLiteral("CODE_CLIENT"), QStringLiteral("DATE_VISITE")};
    return c;
}

void creerTablesClients(Connexion& cn) {
    cn.executerSqlite(QStringLiteral(R"(
CREATE TABLE FCLI (
  "Numéro" INTEGER PRIMARY KEY,
  "Code" TEXT(20) COLLATE NOCASE,
  "Date Création" DATETIME,
  "Nom" TEXT(50) COLLATE NOCASE,
  "Prénom" TEXT(50) COLLATE NOCASE,
  "Adresse" TEXT(50) COLLATE NOCASE,
  "Ville" TEXT(30) COLLATE NOCASE,
  "Code Postal" TEXT(10) COLLATE NOCASE,
  "Cat, Age" TEXT(10) COLLATE NOCASE,
  "Mois Nais" TEXT(10) COLLATE NOCASE,
  "Sexe" TEXT(1) COLLATE NOCASE,
  "Tel1" TEXT(20) COLLATE NOCASE,
  "Tel2" TEXT(20) COLLATE NOCASE,
  "Coiffeur" TEXT(20) COLLATE NOCASE,
  "R/F" INTEGER,
  "N/C" INTEGER,
  "DateNaissance" DATETIME,
  "Carte" TEXT(20) COLLATE NOCASE,
  "Points" REAL,
  "Leader" INTEGER,
  "GenCode" TEXT(20) COLLATE NOCASE,
  "Adresse2" TEXT(50) COLLATE NOCASE,
  "Email" TEXT(100) COLLATE NOCASE
);
CREATE INDEX FCLI_Code ON FCLI ("Code");
CREATE TABLE FTEC (
  "Numéro" INTEGER PRIMARY KEY,
  "Code_Client" TEXT(20) COLLATE NOCASE,
  "Date" DATETIME,
  "Tech" TEXT(50) COLLATE NOCASE,
  "Serv" TEXT(50) COLLATE NOCASE,
  "Divers1" TEXT(50) COLLATE NOCASE,
  "Divers2" TEXT(50) COLLATE NOCASE,
  "Famille" TEXT(50) COLLATE NOCASE,
  "Mémo" TEXT COLLATE NOCASE
);
CREATE INDEX FTEC_Code_Client ON FTEC ("Code_Client");
CREATE TABLE FCONS (
  "CODE_CLIENT" TEXT(20) COLLATE NOCASE,
  "DATE_VISITE" DATETIME,
  "MONTANT" REAL
);
CREATE INDEX FCONS_CODE_CLIENT ON FCONS ("CODE_CLIENT");
)"));
}

void creerTableCommunes(Connexion& cn) {
    cn.executerSqlite(QStringLiteral(R"(
CREATE TABLE communes (
  "CodePostal" TEXT(5) COLLATE NOCASE,
  "Commune" TEXT(50) COLLATE NOCASE
);
CREATE INDEX communes_CodePostal ON communes ("CodePostal");
CREATE INDEX communes_Commune ON communes ("Commune");
)"));
}

void verifier(const QString& chemin, const std::vector<TableRequise>& tables, bool ecriture) {
    const Connexion cn(chemin, Connexion::Acces::Lecture);
    const QString fichier = QFileInfo(cn.chemin()).fileName();
    // SQLite reads an empty file as an empty database: say what it really is.
    if (QFileInfo(cn.chemin()).size() == 0) {
        throw ErreurStore(
            QStringLiteral(
                "Le fichier « %1 » est vide (0 octet) : ce n'est pas une base de données.")
                .arg(fichier));
    }
    for (const TableRequise& requise : tables) {
        if (!cn.tableExiste(requise.table)) {
            throw ErreurStore(
                QStringLiteral("La table « %1 » est introuvable dans la base de données « %2 ».")
                    .arg(requise.table, fichier));
        }
        QStringList presentes = cn.colonnes(requise.table);
        for (QString& c : presentes) {
            c = c.toCaseFolded();
        }
        for (const QString& colonne : requise.colonnes) {
            if (!presentes.contains(colonne.toCaseFolded())) {
                throw ErreurStore(QStringLiteral("La colonne « %1 » de la table « %2 » est "
                                                 "introuvable dans la base de données « %3 ».")
                                      .arg(colonne, requise.table, fichier));
            }
        }
    }
    if (ecriture) {
        if (const QString cause = causeEcriture(cn.chemin()); !cause.isEmpty()) {
            throw ErreurStore(cause);
        }
    }
}

}  // namespace store::schema
