#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "clients/Analyse.h"
#include "clients/Annulation.h"
#include "clients/Correction.h"
#include "clients/Groupee.h"
#include "commun/Variables.h"
#include "platform/Locale.h"
#include "purge/Purge.h"
#include "store/Connexion.h"
#include "support/Dossier.h"
#include "tech/AnalyseTech.h"
#include "tech/FicheTech.h"

namespace test {

// An RTF note whose plain text is `n` letters.
inline QByteArray noteDe(int n) {
    return "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Arial;}}\\pard\\f0\\fs20 " +
           QByteArray(n, 'a') + "\\par\r\n}\r\n";
}

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
    store::Connexion cn = d.creerBase();
    d.creerCommunes({{QStringLiteral("75001"), QStringLiteral("PARIS")},
                     {QStringLiteral("69001"), QStringLiteral("LYON")}});
    d.ecrire(QStringLiteral("default.txt"), "PARIS\r\n75001\r\n");
    struct Client {
        const char16_t *code, *nom, *prenom, *ville, *cp, *tel1, *email;
    };
    const Client clients[] = {
        {u"A1", u"DURAND", u"Anne", u"PARIS", u"75001", u"0102030405", u"anne@exemple.fr"},
        {u"A2", u"MARTIN", u"Paul", u"PARSI", u"75001", u"0102030405", u"paul@exemple.fr"},
        {u"A3", u"PETIT", u"Léa", u"LYON", u"6900", u"01 23", u"lea@exemple.fr"},
        {u"A4", u"L'HUILLIER", u"Zoé", u"PARIS", u"75001", u"0102030405", u"zoe@"},
        {u"A5", u"BERNARD", u"Luc", u"PARIS", u"75001", u"0102030405", u"luc@exemple.fr"},
    };
    for (const Client& c : clients) {
        inserer(cn, QStringLiteral("FCLI"),
                {{QStringLiteral("Code"), c.code},
                 {QStringLiteral("Nom"), c.nom},
                 {QStringLiteral("Prénom"), c.prenom},
                 {QStringLiteral("Ville"), c.ville},
                 {QStringLiteral("Code Postal"), c.cp},
                 {QStringLiteral("Tel1"), c.tel1},
                 {QStringLiteral("Email"), c.email}});
    }
    d.ecrire(QStringLiteral("CliA1.RTF"), noteDe(600));
    d.ecrire(QStringLiteral("clia2.rtf"), noteDe(100));
    d.ecrire(QStringLiteral("CLIA3.rtf"), noteDe(750));

    struct Fiche {
        qint64 numero;
        const char16_t* client;
        store::Valeur famille;
        store::Valeur memo;
    };
    const Fiche fiches[] = {
        {1, u"A1", QStringLiteral("Coupe"), QStringLiteral("court")},
        {2, u"A2", store::Valeur(), QStringLiteral("court")},
        {3, u"ZZ", QStringLiteral(""), QString(600, u'm')},
        {4, u"A4", QStringLiteral("Couleur"), QString(501, u'm')},
        {5, u"A5", QStringLiteral(" "), store::Valeur()},
    };
    for (const Fiche& f : fiches) {
        inserer(cn, QStringLiteral("FTEC"),
                {{QStringLiteral("Numéro"), store::Valeur::entier(f.numero)},
                 {QStringLiteral("Code_Client"), f.client},
                 {QStringLiteral("Famille"), f.famille},
                 {QStringLiteral("Mémo"), f.memo}});
    }
    for (const char16_t* code : {u"A1", u"A1", u"A5"}) {
        inserer(cn, QStringLiteral("FCONS"), {{QStringLiteral("CODE_CLIENT"), code}});
    }
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
    {
        store::Connexion cn(d.chemin(QStringLiteral("BdClient.mdb")));
        inserer(cn, QStringLiteral("FCLI"),
                {{QStringLiteral("Code"), QStringLiteral("P1")},
                 {QStringLiteral("Nom"), QStringLiteral("ANCIEN")},
                 {QStringLiteral("Prénom"), QStringLiteral("Paul")},
                 {QStringLiteral("Ville"), QStringLiteral(" PARIS ")},
                 {QStringLiteral("Code Postal"), QStringLiteral("75OO1")},
                 {QStringLiteral("Tel1"), QStringLiteral("O102030405")}});
        cn.executer(QStringLiteral("UPDATE FCLI SET Tel1 = '0102030405 ' WHERE Code = 'A5'"));
        inserer(cn, QStringLiteral("FCONS"),
                {{QStringLiteral("CODE_CLIENT"), QStringLiteral("P1")},
                 {QStringLiteral("DATE_VISITE"), QStringLiteral("2001-06-01 00:00:00")}});
        inserer(cn, QStringLiteral("FTEC"),
                {{QStringLiteral("Numéro"), store::Valeur::entier(6)},
                 {QStringLiteral("Code_Client"), QStringLiteral("P1")},
                 {QStringLiteral("Date"), QStringLiteral("2001-01-01 00:00:00")},
                 {QStringLiteral("Famille"), QStringLiteral("Coupe")},
                 {QStringLiteral("Mémo"), QStringLiteral("abc  \r\n")}});
    }
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
