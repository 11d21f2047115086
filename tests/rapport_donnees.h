#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "store/Connexion.h"
#include "support/Dossier.h"

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

}  // namespace test
