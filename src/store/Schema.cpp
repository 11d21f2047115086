#include "store/Schema.h"

#include "store/Connexion.h"

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
    cn.executer(QStringLiteral(R"(
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
    cn.executer(QStringLiteral(R"(
CREATE TABLE communes (
  "CodePostal" TEXT(5) COLLATE NOCASE,
  "Commune" TEXT(50) COLLATE NOCASE
);
CREATE INDEX communes_CodePostal ON communes ("CodePostal");
CREATE INDEX communes_Commune ON communes ("Commune");
)"));
}

}  // namespace store::schema
