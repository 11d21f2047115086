#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <vector>

#include "demo/Communes.h"

namespace store {
class Connexion;
}

namespace demo {

// What the checks and the tidying look for, planted on purpose.
enum Defaut : int {
    TelLettreO,
    TelSeparateurs,
    TelNeufChiffres,
    NomBlanc,
    TexteTropLong,
    VilleEtCpAbsents,
    VilleOuCpAbsent,
    CpSansZeroInitial,
    CpLettreO,
    VilleMalOrthographiee,
    BlancsAutour,
    CatAgeInvalide,
    MoisInvalide,
    EmailInvalide,
    GenCodeDouzeChiffres,
    NaissanceDateVide,
    NaissanceAvant1899,
    ChampNull,
    AdressePointVirgule,
    AdresseRetourLigne,
    NombreDefauts
};
QString libelle(Defaut d);

// What the sheets, visits and notes need to know of a client.
struct Client {
    QString code;
    double creation = 0;     // day serial
    double finActivite = 0;  // its last visit is before this day
    double poidsFiches = 0;
    double poidsVisites = 0;
    bool ancien = false;  // stopped coming years ago
};

// Two records that a search for duplicate clients must join (one person
// recorded twice) or keep apart (relatives), and how they came to be.
struct Lien {
    bool doublon = true;
    QString code1, code2;
    QString libelle;  // the variation, or "mère et fille", "jumelles"
};

struct BilanClients {
    int clients = 0;
    int enErreur = 0;  // clients with planted faults
    std::array<int, NombreDefauts> parDefaut{};
    int nomsApostrophe = 0;
    qint64 plusGrandCode = 0;  // the highest all-digit code
    int doublons = 0;          // second records of a person (no planted fault of their own)
    int familles = 0;          // daughters and twin sisters of another client
    std::vector<Lien> liens;
};

// The salon's hairdressers over the years, the same for one seed.
QStringList equipeDuSalon(std::uint64_t graine);

// Writes `nombre` clients into FCLI, inside the caller's transaction. About one
// in six carries one to three faults; every kind of fault appears at least once
// as soon as there are enough faulty clients. About one in thirty is a second
// record of an earlier sound client, one in eighty a daughter or a twin sister.
std::vector<Client> ecrireClients(store::Connexion& cn, int nombre,
                                  const std::vector<Commune>& communes, std::uint64_t graine,
                                  BilanClients& bilan);

}  // namespace demo
