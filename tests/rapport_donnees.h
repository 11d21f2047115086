#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "commun/Variables.h"
#include "clients/Analyse.h"
#include "clients/Annulation.h"
#include "clients/Correction.h"
#include "clients/Groupee.h"
#include "platform/Locale.h"
#include "purge/Purge.h"
#include "store/Connexion.h"
#include "support/Dossier.h"
#include "tech/AnalyseTech.h"
#include "tech/FicheTech.h"

namespace test {

// An export file as the export writes it: UTF-16 with its byte order mark, a
// header line, then the data lines, each ended by CR LF.
inline QByteArray fichierExport(const QStringList& lignes) {
    QString texte = QStringLiteral("Numéro;Code\r\n");
    for (const QString& l : lignes) {
        texte += l + QStringLiteral("\r\n");
    }
    QByteArray octets("\xFF\xFE", 2);
    for (const QChar c : texte) {
        octets.append(static_cast<char>(c.unicode() & 0xFF));
        octets.append(static_cast<char>(c.unicode() >> 8));
    }
    return octets;
}

// A small salon, stable under the tidying of both analyses:
// - five clients; A2 has an unknown town, A3 a postal code the reference lacks
//   and a telephone with a blank, A4 a broken address (A1 and A5 are sound);
// - notes: A1's 600 characters long and "CLIA3.rtf" 750, A2's 100;
// - sheets 2 (no family) and 3 (empty family, unknown client, long memo) are
//   left out; 3 and 4 have memos over 500 characters; 5 has a family of blanks;
// - three visits; the reference knows PARIS 75001 and LYON 69001.
inline void remplirSalon(const Dossier& d) {
    store::Connexion cn = d.existe(QStringLiteral("BdClient.mdb"))
                              ? store::Connexion(d.chemin(QStringLiteral("BdClient.mdb")))
                              : d.creerBase();
    d.creerCommunes({{QStringLiteral("75001"), QStringLiteral("PARIS")},
                     {QStringLiteral("69001"), QStringLiteral("LYON")}});
    d.ecrire(QStringLiteral("default.txt"), "PARIS\r\n75001\r\n");
    cn.executerSqlite(QStringLiteral(
        "INSERT INTO FCLI (Code, Nom, \"Prénom\", Ville, \"Code Postal\", Tel1, Email) VALUES "
        "('A1', 'DURAND', 'Anne', 'PARIS', '75001', '0102030405', 'anne@exemple.fr'),"
        "('A2', 'MARTIN', 'Paul', 'PARSI', '75001', '0102030405', 'paul@exemple.fr'),"
        "('A3', 'PETIT', 'Léa', 'LYON', '6900', '01 23', 'lea@exemple.fr'),"
        "('A4', 'L''HUILLIER', 'Zoé', 'PARIS', '75001', '0102030405', 'zoe@'),"
        "('A5', 'BERNARD', 'Luc', 'PARIS', '75001', '0102030405', 'luc@exemple.fr');"
        "INSERT INTO FTEC (\"Numéro\", Code_Client, Famille, \"Mémo\") VALUES "
        "(1, 'A1', 'Coupe', 'court'), (2, 'A2', NULL, 'court'), "
        "(3, 'ZZ', '', printf('%.600c', 'm')), "
        "(4, 'A4', 'Couleur', printf('%.501c', 'm')), (5, 'A5', ' ', NULL);"
        "INSERT INTO FCONS (CODE_CLIENT) VALUES ('A1'), ('A1'), ('A5')"));
    d.ecrire(QStringLiteral("CliA1.RTF"), noteRtf(QByteArray(600, 'a')));
    d.ecrire(QStringLiteral("clia2.rtf"), noteRtf(QByteArray(100, 'a')));
    d.ecrire(QStringLiteral("CLIA3.rtf"), noteRtf(QByteArray(750, 'a')));
}

// The small salon's journal, made by really running what a technician does,
// so that the salon ends as remplirSalon leaves it but for A2, A3, A4 and
// sheet 2 (see below):
// - first, a client P1 who came in 2001 only, with a sheet 6 of 2001 whose
//   memo ends in blanks, and values to tidy: P1's town " PARIS ", postal code
//   "75OO1" and telephone "O102030405", A5's telephone "0102030405 ";
// - the client analysis: 6 clients judged, 3 in error (A2 Ville, A3 Code
//   postal and Téléphone 1, A4 E-mail), the tidying changing 4 values;
// - the panel: A4's e-mail "zoe@" made "zoe@exemple.fr"; the postal code
//   panel: A3's "6900" made "69001" (LYON); A3's telephone "01 23" made
//   "0123456789", then that save undone;
// - a grouped correction: Ville "PARSI" made "PARIS" (A2);
// - sheet 2 given the family "Soin"; the sheet analysis's tidying (sheet 6);
// - purges of clients and of sheets before 01/01/2005: P1 and sheet 6.
// Leaves A3 in error on Téléphone 1 only.
inline void journalDuSalon(const Dossier& d, commun::Variables& vars) {
    store::Connexion(d.chemin(QStringLiteral("BdClient.mdb")))
        .executerSqlite(QStringLiteral(
            "INSERT INTO FCLI (Code, Nom, \"Prénom\", Ville, \"Code Postal\", Tel1) VALUES "
            "('P1', 'ANCIEN', 'Paul', ' PARIS ', '75OO1', 'O102030405');"
            "UPDATE FCLI SET Tel1 = '0102030405 ' WHERE Code = 'A5';"
            "INSERT INTO FCONS (CODE_CLIENT, DATE_VISITE) VALUES ('P1', '2001-06-01 00:00:00');"
            "INSERT INTO FTEC (\"Numéro\", Code_Client, Date, Famille, \"Mémo\") VALUES (6, "
            "'P1', '2001-01-01 00:00:00', 'Coupe', 'abc  ' || char(13, 10))"));
    clients::ObservateurAnalyseClients silence;
    clients::AnalyseBd(vars, silence);

    clients::enregistrerChamp(vars, QStringLiteral("A4"),
                              {QStringLiteral("Email"), QStringLiteral("zoe@exemple.fr"), {}});
    clients::enregistrerChamp(
        vars, QStringLiteral("A3"),
        {QStringLiteral("Code Postal"), QStringLiteral("69001"), QStringLiteral("LYON")});
    clients::AppliquerGroupe(
        vars, {{clients::ErrVille, QStringLiteral("PARSI"), QStringLiteral("PARIS")}});
    clients::enregistrerChamp(vars, QStringLiteral("A3"),
                              {QStringLiteral("Tel1"), QStringLiteral("0123456789"), {}});
    clients::AnnulerCorrection(vars, clients::derniereCorrection(vars)->lot);

    tech::EcrireFamille(vars.cheminBd(), QStringLiteral("2"), QStringLiteral("Soin"));
    tech::PreAnalyseTech(vars.cheminBd());

    purge::ObservateurPurge o;
    const QString date = purge::texteDate(QDate(2005, 1, 1), platform::localeTravail());
    purge::PurgeClients(vars, date, purge::Mode::Purge, o);
    purge::PurgeTech(vars, date, purge::Mode::Purge, o);
}

}  // namespace test
