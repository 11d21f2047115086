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

struct BilanClients {
    int clients = 0;
    int enErreur = 0;
    std::array<int, NombreDefauts> parDefaut{};
    int nomsApostrophe = 0;
    qint64 plusGrandCode = 0;  // the highest all-digit code
};

// The salon's hairdressers over the years, the same for one seed.
QStringList equipeDuSalon(std::uint64_t graine);

// Writes `nombre` clients into FCLI, inside the caller's transaction. About one
// in six carries one to three faults; every kind of fault appears at least once
// as soon as there are enough faulty clients.
std::vector<Client> ecrireClients(store::Connexion& cn, int nombre,
                                  const std::vector<Commune>& communes, std::uint64_t graine,
                                  BilanClients& bilan);

}  // namespace demo
