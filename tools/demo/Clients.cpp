#include "demo/Clients.h"

#include <QDate>
#include <QSet>
#include <algorithm>
#include <cmath>

#include "demo/Dates.h"
#include "demo/Doubles.h"
#include "demo/Lexique.h"
#include "store/Connexion.h"
#include "store/Dates.h"
#include "store/Valeur.h"

namespace demo {

using store::Valeur;

QStringList equipeDuSalon(std::uint64_t graine) {
    Hasard h(graine, 1);
    QStringList tous = lexique::equipe();
    QStringList equipe;
    const int taille = h.entre(5, 8);
    while (equipe.size() < taille) {
        equipe << tous.takeAt(h.entre(0, static_cast<int>(tous.size()) - 1));
    }
    return equipe;
}

namespace {

// Columns in the order of the insert statement (the table's own order may differ).
enum Colonne {
    cNumero,
    cCode,
    cCreation,
    cNom,
    cPrenom,
    cAdresse,
    cVille,
    cCp,
    cCat,
    cMois,
    cSexe,
    cTel1,
    cTel2,
    cCoiffeur,
    cRF,
    cNC,
    cLeader,
    cNaissance,
    cCarte,
    cPoints,
    cGenCode,
    cAdresse2,
    cEmail,
    kNbColonnes
};
const char* const kColonnes[kNbColonnes] = {
    "Numéro", "Code",        "Date Création", "Nom",       "Prénom", "Adresse",
    "Ville",  "Code Postal", "Cat, Age",      "Mois Nais", "Sexe",   "Tel1",
    "Tel2",   "Coiffeur",    "R/F",           "N/C",       "Leader", "DateNaissance",
    "Carte",  "Points",      "GenCode",       "Adresse2",  "Email"};
using Ligne = std::array<Valeur, kNbColonnes>;

// Fields a fault writes; two faults of one client never write the same one.
enum Zone : unsigned {
    zTel = 1u << 0,
    zVille = 1u << 1,
    zCp = 1u << 2,
    zNom = 1u << 3,
    zPrenom = 1u << 4,
    zAdresse = 1u << 5,
    zNaissance = 1u << 6,
    zCat = 1u << 7,
    zMois = 1u << 8,
    zEmail = 1u << 9,
    zGenCode = 1u << 10,
    zSexe = 1u << 11
};

struct Regle {
    const char* libelle;
    double poids;
    unsigned zones;  // 0: the field is picked when the fault is applied
};
// clang-format off
constexpr Regle kRegles[NombreDefauts] = {
    {"téléphone avec la lettre O pour zéro", 6, zTel},
    {"téléphone avec blancs, points ou tirets", 10, zTel},
    {"téléphone de 9 chiffres", 5, zTel},
    {"nom fait d'un blanc", 3, zNom},
    {"nom, prénom ou adresse de plus de 50 caractères", 4, zNom | zPrenom | zAdresse},
    {"ville et code postal absents", 8, zVille | zCp},
    {"ville ou code postal absent", 5, zVille | zCp},
    {"code postal sans son zéro initial", 5, zCp},
    {"code postal avec la lettre O", 3, zCp},
    {"ville mal orthographiée", 10, zVille},
    {"blancs autour d'une valeur", 8, 0},
    {"catégorie d'âge invalide", 6, zCat},
    {"mois de naissance invalide", 3, zMois},
    {"adresse e-mail mal formée", 8, zEmail},
    {"GenCode de 12 chiffres", 3, zGenCode},
    {"date de naissance au 30/12/1899", 4, zNaissance},
    {"date de naissance avant 1899", 1, zNaissance},
    {"champ vérifié à Null", 4, 0},
    {"adresse avec point-virgule", 2, zAdresse},
    {"adresse sur deux lignes", 2, zAdresse},
};
// clang-format on

constexpr double kPartEnErreur = 0.16;
// Second records of a person, and daughters or twin sisters of a client.
constexpr double kPartDoublons = 0.033;
constexpr double kPartFamilles = 0.012;

double serieDu(int annee, int mois, int jour) {
    return store::dates::serie(QDate(annee, mois, jour));
}

// A spread weight of mean 1, most clients light, a few heavy. Plain products:
// no library function whose last bit could differ from one machine to another.
double poidsEtale(Hasard& h) {
    return 4.0 * h.reel() * h.reel();
}

// "Marie-Claire" from "MARIE-CLAIRE", "D'Almeida" from "D'ALMEIDA".
QString casse(const QString& t) {
    QString r = t.toLower();
    for (qsizetype i = 0; i < r.size(); ++i) {
        if (i == 0 || r[i - 1] == u'-' || r[i - 1] == u' ' || r[i - 1] == u'\'') {
            r[i] = r[i].toUpper();
        }
    }
    return r;
}

QString numeroTelephone(Hasard& h, bool portable) {
    static const QString fixes = QStringLiteral("123459");
    const QChar second = portable ? QChar(h.chance(0.8) ? u'6' : u'7') : fixes.at(h.entre(0, 5));
    return QStringLiteral("0") + second + h.chiffres(8);
}

QString telephoneValide(Hasard& h, bool portable) {
    const QString n = numeroTelephone(h, portable);
    return h.chance(0.06) ? QStringLiteral("+33") + n.mid(1) : n;
}

// Digits in pairs with a separator: "06 12 34 56 78", "06.12.34.56.78".
QString parPaires(const QString& chiffres, QChar separateur) {
    QString r;
    for (qsizetype i = 0; i < chiffres.size(); i += 2) {
        if (i > 0) {
            r += separateur;
        }
        r += chiffres.mid(i, 2);
    }
    return r;
}

QString ean13(Hasard& h) {
    const QString corps = QStringLiteral("2") + h.chiffres(11);
    int somme = 0;
    for (int i = 0; i < 12; ++i) {
        somme += (corps[i].unicode() - u'0') * (i % 2 == 0 ? 1 : 3);
    }
    return corps + QChar(u'0' + (10 - somme % 10) % 10);
}

QString adresse(Hasard& h) {
    QString numero = QString::number(h.entre(1, 150));
    if (h.chance(0.06)) {
        numero += QStringLiteral(" bis");
    }
    return numero + u' ' + h.parmi(lexique::typesVoie()) + u' ' + h.parmi(lexique::nomsVoie());
}

QString deuxChiffres(int n) {
    return QStringLiteral("%1").arg(n, 2, 10, QChar(u'0'));
}

Valeur vide() {
    return QString(QLatin1String(""));  // empty text, not Null
}

Valeur nullOuVide(Hasard& h) {
    return h.chance(0.5) ? Valeur() : vide();
}

// Null for a share `partNull`, empty text for a share `partVide`, else `valeur()`.
template <typename F>
Valeur absentOu(Hasard& h, double partNull, double partVide, F valeur) {
    const double r = h.reel();
    if (r < partNull) {
        return {};
    }
    return r < partNull + partVide ? vide() : Valeur(valeur());
}

bool renseigne(const Valeur& v) {
    return v.estTexte() && !v.texte().isEmpty();
}

class Generateur {
public:
    Generateur(const std::vector<Commune>& communes, std::uint64_t graine, BilanClients& bilan)
        : m_h(graine, 2),
          m_hp(graine, 7),
          m_voisinage(communes, m_h),
          m_equipe(equipeDuSalon(graine)),
          m_bilan(bilan) {
        for (int& n : m_parLettre) {
            n = m_h.entre(1, 120);
        }
        m_suivant = m_h.entre(1, 30);
        std::vector<double> poids;
        for (const Regle& r : kRegles) {
            poids.push_back(r.poids);
        }
        m_tirageDefauts = Tirage(poids);
    }

    Client client(int numero, int nombre, Ligne& l);

private:
    // A client modelled on an earlier one: the same person or a relative.
    struct Parente {
        enum Genre { Aucune, Double, Fille, Jumelle } genre = Aucune;
        int modele = 0;
        Variation variation = Variation::Ressaisie;
    };
    struct Modele {
        QString code;
        int numero = 0;
        Identite identite;
    };
    Parente parente(int numero);
    void apparenter(const Parente& p, const Client& c, Ligne& l);

    QString nouveauCode();
    std::vector<Defaut> defauts();
    void ligneSaine(Ligne& l, const Commune& commune);
    QString emailValide(const Ligne& l);
    // False when no field was left for the fault.
    bool planter(Defaut d, Ligne& l, const Commune& commune, unsigned& zones);
    QString emailMalForme(const Ligne& l);

    Hasard m_h;
    Hasard m_hp;  // relatives: a stream of their own
    Voisinage m_voisinage;
    QStringList m_equipe;
    BilanClients& m_bilan;
    Tirage m_tirageDefauts;
    std::array<int, 26> m_parLettre{};
    qint64 m_suivant = 1;
    int m_clientsEnErreur = 0;
    std::vector<Modele> m_modeles;  // sound clients, in order
    int m_suiteTelephone = -1;      // a third record of this model comes next
    int m_rangTelephone = 0;
    QSet<QString> m_emails;
};

Identite identite(const Ligne& l) {
    return {l[cNom],  l[cPrenom], l[cSexe],    l[cNaissance], l[cMois], l[cTel1],
            l[cTel2], l[cEmail],  l[cAdresse], l[cVille],     l[cCp]};
}

void appliquer(const Identite& p, Ligne& l) {
    l[cNom] = p.nom;
    l[cPrenom] = p.prenom;
    l[cSexe] = p.sexe;
    l[cNaissance] = p.naissance;
    l[cMois] = p.mois;
    l[cTel1] = p.tel1;
    l[cTel2] = p.tel2;
    l[cEmail] = p.email;
    l[cAdresse] = p.adresse;
    l[cVille] = p.ville;
    l[cCp] = p.codePostal;
}

Generateur::Parente Generateur::parente(int numero) {
    Hasard& h = m_hp;
    const int n = static_cast<int>(m_modeles.size());
    if (m_suiteTelephone >= 0) {
        const Parente p{Parente::Double, m_suiteTelephone, Variation::Telephone};
        m_suiteTelephone = -1;
        return p;
    }
    if (n < 20) {
        return {};
    }
    const double r = h.reel();
    if (r < kPartDoublons) {
        Parente p{Parente::Double, h.entre(0, n - 1), tirerVariation(h)};
        if (p.variation == Variation::DeuxFois && m_modeles.back().numero == numero - 1) {
            p.modele = n - 1;  // made twice in a row
        }
        if (p.variation == Variation::Telephone && h.chance(0.4)) {
            m_suiteTelephone = p.modele;  // the number written a third way
        }
        return p;
    }
    if (r < kPartDoublons + kPartFamilles) {
        const bool jumelle = h.chance(0.4);
        for (int essai = 0; essai < 20; ++essai) {
            const int k = h.entre(0, n - 1);
            const Identite& m = m_modeles[static_cast<std::size_t>(k)].identite;
            if (m.sexe == Valeur(QStringLiteral("F")) && renseigne(m.nom) &&
                (!jumelle || renseigne(m.naissance))) {
                return {jumelle ? Parente::Jumelle : Parente::Fille, k, Variation::Ressaisie};
            }
        }
    }
    return {};
}

void Generateur::apparenter(const Parente& p, const Client& c, Ligne& l) {
    const Modele& m = m_modeles[static_cast<std::size_t>(p.modele)];
    if (p.genre == Parente::Double) {
        const int rang = p.variation == Variation::Telephone ? m_rangTelephone++ : 0;
        appliquer(doubler(m.identite, p.variation, rang, m_hp), l);
        m_bilan.liens.push_back({true, m.code, c.code, libelle(p.variation)});
        ++m_bilan.doublons;
        return;
    }
    const bool jumelle = p.genre == Parente::Jumelle;
    appliquer(enfant(m.identite, jumelle, m_hp), l);
    if (m_hp.chance(0.4)) {
        l[cEmail] = emailValide(l);
    }
    m_bilan.liens.push_back(
        {false, m.code, c.code,
         jumelle ? QStringLiteral("jumelles") : QStringLiteral("mère et fille")});
    ++m_bilan.familles;
}

QString Generateur::nouveauCode() {
    static const QString lettres = QStringLiteral("ABCDEFGHLMPRSTV");
    const double r = m_h.reel();
    if (r < 0.08) {
        // One counter per letter, shared by both cases: "c45" never meets "C45".
        const QChar lettre = lettres.at(m_h.entre(0, static_cast<int>(lettres.size()) - 1));
        int& compteur = m_parLettre[static_cast<std::size_t>(lettre.unicode() - u'A')];
        compteur += m_h.entre(1, 3);
        return (m_h.chance(0.25) ? lettre.toLower() : lettre) + QString::number(compteur);
    }
    const qint64 n = m_suivant;
    m_suivant += m_h.chance(0.05) ? m_h.entre(2, 20) : 1;
    m_bilan.plusGrandCode = n;
    return r < 0.11 ? QStringLiteral("0") + QString::number(n) : QString::number(n);
}

std::vector<Defaut> Generateur::defauts() {
    std::vector<Defaut> liste;
    if (!m_h.chance(kPartEnErreur)) {
        return liste;
    }
    const double r = m_h.reel();
    const int nombre = r < 0.75 ? 1 : (r < 0.95 ? 2 : 3);
    unsigned zones = 0;
    // The first faulty clients go through every kind once.
    if (m_clientsEnErreur < NombreDefauts) {
        liste.push_back(static_cast<Defaut>(m_clientsEnErreur));
        zones |= kRegles[m_clientsEnErreur].zones;
    }
    ++m_clientsEnErreur;
    for (int essai = 0; essai < 10 && static_cast<int>(liste.size()) < nombre; ++essai) {
        const auto d = static_cast<Defaut>(m_tirageDefauts.tirer(m_h));
        if ((kRegles[d].zones & zones) != 0 ||
            std::find(liste.begin(), liste.end(), d) != liste.end()) {
            continue;
        }
        liste.push_back(d);
        zones |= kRegles[d].zones;
    }
    // Faults that pick their field come last, among the fields left clean.
    std::stable_partition(liste.begin(), liste.end(),
                          [](Defaut d) { return kRegles[d].zones != 0; });
    return liste;
}

QString Generateur::emailValide(const Ligne& l) {
    const QString prenom = lexique::sansAccents(l[cPrenom].texte()).toLower().remove(u' ');
    QString nom = lexique::sansAccents(l[cNom].texte()).toLower();
    nom.remove(u'\'').replace(u' ', u'-');
    const QString separateur = m_h.parmi(
        QStringList{QStringLiteral("."), QStringLiteral("."), QStringLiteral("_"), QString()});
    QString local = prenom + separateur + nom;
    if (m_h.chance(0.2)) {
        local += QString::number(m_h.entre(1, 99));
    }
    const QString domaine = m_h.parmi(lexique::domainesMessagerie());
    // An address belongs to one person: namesakes get a number.
    QString email = local + u'@' + domaine;
    for (int n = 2; m_emails.contains(email); ++n) {
        email = local + QString::number(n) + u'@' + domaine;
    }
    m_emails.insert(email);
    return email;
}

void Generateur::ligneSaine(Ligne& l, const Commune& commune) {
    Hasard& h = m_h;
    const bool femme = h.chance(0.78);
    l[cSexe] = femme ? QStringLiteral("F") : QStringLiteral("M");
    l[cPrenom] = h.parmi(femme ? lexique::prenomsFeminins() : lexique::prenomsMasculins());
    QString nom;
    if (h.chance(0.015)) {
        nom = h.parmi(lexique::nomsApostrophe());
        ++m_bilan.nomsApostrophe;
    } else {
        nom = h.parmi(lexique::noms());
    }
    l[cNom] = h.chance(0.85) ? nom : casse(nom);
    l[cAdresse] = absentOu(h, 0.04, 0.04, [&] { return adresse(h); });
    l[cVille] = commune.ville;
    l[cCp] = commune.codePostal;
    l[cCat] = absentOu(h, 0.08, 0, [&] { return deuxChiffres(h.entre(0, 10)); });
    if (h.chance(0.55)) {
        const QDate naissance = QDate(1935, 1, 1).addDays(h.entre(0, 80 * 365));
        l[cNaissance] = texteDate(store::dates::serie(naissance));
        l[cMois] = deuxChiffres(naissance.month());
    } else {
        l[cMois] = absentOu(h, 0.2, 0.2, [&] { return deuxChiffres(h.entre(1, 12)); });
    }
    l[cTel1] = absentOu(h, 0.05, 0.05, [&] { return telephoneValide(h, h.chance(0.7)); });
    l[cTel2] = absentOu(h, 0.55, 0.15, [&] { return telephoneValide(h, h.chance(0.3)); });
    // The first hairdressers of the team have the most clients.
    const int equipe = static_cast<int>(m_equipe.size());
    l[cCoiffeur] = absentOu(h, 0.1, 0, [&] {
        return m_equipe.at(std::min(h.entre(0, equipe - 1), h.entre(0, equipe - 1)));
    });
    l[cRF] = absentOu(h, 0.05, 0, [&] { return Valeur::entier(h.entre(0, 1)); });
    l[cNC] = absentOu(h, 0.05, 0, [&] { return Valeur::entier(h.entre(0, 1)); });
    l[cLeader] = Valeur::entier(h.chance(0.1) ? 1 : 0);
    l[cCarte] = absentOu(h, 0.35, 0.3, [&] {
        return h.chance(0.7) ? QStringLiteral("C") + h.chiffres(5) : h.chiffres(6);
    });
    l[cPoints] =
        h.chance(0.2) ? Valeur() : Valeur::reel(h.chance(0.4) ? 0.0 : h.entre(1, 500) / 2.0);
    l[cGenCode] = absentOu(h, 0.45, 0.3, [&] { return ean13(h); });
    l[cAdresse2] = absentOu(h, 0.6, 0.25, [&] { return h.parmi(lexique::complementsAdresse()); });
    l[cEmail] = absentOu(h, 0.35, 0.2, [&] { return emailValide(l); });
}

QString Generateur::emailMalForme(const Ligne& l) {
    const QString prenom = lexique::sansAccents(l[cPrenom].texte()).toLower().remove(u' ');
    const QString nom = lexique::sansAccents(l[cNom].texte()).toLower().remove(u' ').remove(u'\'');
    const QString domaine = m_h.parmi(lexique::domainesMessagerie());
    switch (m_h.entre(0, 6)) {
        case 0:
            return prenom + u'.' + nom + u'@' + domaine.section(u'.', 0, 0);
        case 1:
            return prenom + u' ' + nom + u'@' + domaine;
        case 2:
            return prenom.left(1) + u'@' + domaine.left(1) + QStringLiteral(".c");
        case 3:
            return prenom + u',' + nom + u'@' + domaine;
        case 4:
            return prenom + QStringLiteral("@@") + domaine;
        case 5:
            return prenom + u'.' + nom + u'.' + domaine;
        default:
            return prenom + u'.' + nom + u'@' + domaine + u'.';
    }
}

bool Generateur::planter(Defaut d, Ligne& l, const Commune& commune, unsigned& zones) {
    Hasard& h = m_h;
    switch (d) {
        case TelLettreO: {
            QString n = numeroTelephone(h, true);
            n[0] = u'O';
            if (h.chance(0.4)) {
                n.replace(u'0', u'O');
            }
            l[cTel1] = h.chance(0.7) ? parPaires(n, u' ') : n;
            break;
        }
        case TelSeparateurs: {
            const QString n = numeroTelephone(h, h.chance(0.6));
            const QChar sep =
                h.parmi(QStringList{QStringLiteral(" "), QStringLiteral("."), QStringLiteral("-")})
                    .at(0);
            QString t = h.chance(0.85) ? parPaires(n, sep) : n.left(2) + sep + n.mid(2);
            l[h.chance(0.7) ? cTel1 : cTel2] = t;
            break;
        }
        case TelNeufChiffres: {
            const QString n = numeroTelephone(h, h.chance(0.7));
            l[cTel1] = h.chance(0.7) ? n.mid(1) : n.left(9);
            break;
        }
        case NomBlanc:
            l[cNom] = QStringLiteral(" ");
            break;
        case TexteTropLong: {
            const double r = h.reel();
            if (r < 0.45) {
                QString nom = l[cNom].texte();
                while (nom.size() <= 50) {
                    nom += u'-' + h.parmi(lexique::noms());
                }
                l[cNom] = nom;
            } else if (r < 0.9) {
                QString a =
                    h.parmi(lexique::complementsAdresse()) + QStringLiteral(", ") + adresse(h);
                while (a.size() <= 50) {
                    a = h.parmi(lexique::complementsAdresse()) + QStringLiteral(", ") + a;
                }
                l[cAdresse] = a;
            } else {
                QString prenom = l[cPrenom].texte();
                while (prenom.size() <= 50) {
                    prenom += u' ' + h.parmi(lexique::prenomsFeminins());
                }
                l[cPrenom] = prenom;
            }
            break;
        }
        case VilleEtCpAbsents:
            l[cVille] = l[cCp] = nullOuVide(h);
            break;
        case VilleOuCpAbsent:
            l[h.chance(0.5) ? cVille : cCp] = nullOuVide(h);
            break;
        case CpSansZeroInitial:
            l[cCp] = commune.codePostal.mid(1);
            break;
        case CpLettreO: {
            QString cp = commune.codePostal;
            if (!cp.contains(u'0')) {
                return false;
            }
            if (h.chance(0.6)) {
                cp.replace(u'0', u'O');
            } else {
                cp[cp.lastIndexOf(u'0')] = u'O';
            }
            l[cCp] = cp;
            break;
        }
        case VilleMalOrthographiee:
            l[cVille] = malOrthographier(commune.ville, commune.codePostal, h);
            break;
        case BlancsAutour: {
            const std::pair<Colonne, Zone> cibles[] = {
                {cCat, zCat}, {cMois, zMois},     {cCp, zCp},   {cVille, zVille},
                {cNom, zNom}, {cPrenom, zPrenom}, {cTel1, zTel}};
            std::vector<std::pair<Colonne, Zone>> libres;
            for (const auto& c : cibles) {
                if ((zones & c.second) == 0 && renseigne(l[c.first])) {
                    libres.push_back(c);
                }
            }
            if (libres.empty()) {
                return false;
            }
            const auto [colonne, zone] = h.parmi(libres);
            zones |= zone;
            QString v = l[colonne].texte();
            if ((colonne == cCat || colonne == cMois) && v.startsWith(u'0') && h.chance(0.6)) {
                v = v.mid(1);  // " 5", "7 "
            }
            const int ou = h.entre(0, 2);  // before, after or both
            if (ou != 1) {
                v.prepend(u' ');
            }
            if (ou != 0) {
                v.append(u' ');
            }
            l[colonne] = v;
            break;
        }
        case CatAgeInvalide: {
            const int cat = h.entre(0, 9);
            l[cCat] = h.parmi(QStringList{QString::number(cat), QString::number(cat),
                                          QStringLiteral("11"), QStringLiteral("12"),
                                          QStringLiteral("abc"), QStringLiteral("A"),
                                          QStringLiteral("-1")});
            break;
        }
        case MoisInvalide:
            l[cMois] = h.parmi(QStringList{QStringLiteral("13"), QStringLiteral("13"),
                                           QStringLiteral("0"), QStringLiteral("00"),
                                           QStringLiteral("14"), QStringLiteral("janv")});
            break;
        case EmailInvalide:
            l[cEmail] = emailMalForme(l);
            break;
        case GenCodeDouzeChiffres:
            l[cGenCode] = ean13(h).left(12);
            break;
        case NaissanceDateVide:
            l[cNaissance] = texteDate(0);
            break;
        case NaissanceAvant1899:
            l[cNaissance] = texteDate(serieDu(h.entre(1800, 1898), h.entre(1, 12), h.entre(1, 28)));
            break;
        case ChampNull: {
            const std::pair<Colonne, Zone> cibles[] = {{cNom, zNom},   {cPrenom, zPrenom},
                                                       {cSexe, zSexe}, {cCat, zCat},
                                                       {cMois, zMois}, {cAdresse, zAdresse}};
            std::vector<std::pair<Colonne, Zone>> libres;
            for (const auto& c : cibles) {
                if ((zones & c.second) == 0 && !l[c.first].estNull()) {
                    libres.push_back(c);
                }
            }
            if (libres.empty()) {
                return false;
            }
            const auto [colonne, zone] = h.parmi(libres);
            zones |= zone;
            l[colonne] = Valeur();
            break;
        }
        case AdressePointVirgule: {
            const QString a = renseigne(l[cAdresse]) ? l[cAdresse].texte() : adresse(h);
            const QString c = h.parmi(lexique::complementsAdresse());
            l[cAdresse] = h.chance(0.5) ? a + QStringLiteral("; ") + c : c + u';' + a;
            break;
        }
        case AdresseRetourLigne: {
            const QString a = renseigne(l[cAdresse]) ? l[cAdresse].texte() : adresse(h);
            l[cAdresse] = a + QStringLiteral("\r\n") + h.parmi(lexique::complementsAdresse());
            break;
        }
        case NombreDefauts:
            return false;
    }
    return true;
}

Client Generateur::client(int numero, int nombre, Ligne& l) {
    Hasard& h = m_h;
    Client c;
    c.code = nouveauCode();
    // Numbers follow the order of arrival: creation dates rise with them.
    const double debut = serieDu(1998, 1, 2);
    const double fin = serieDu(2024, 12, 20);
    const double jour = std::floor(debut + (fin - debut) * (numero - 1) / std::max(1, nombre - 1)) +
                        h.entre(-10, 10);
    c.creation = std::clamp(jour, debut, fin) + (9 * 60 + h.entre(0, 40) * 15) / 1440.0;
    c.ancien = c.creation < serieDu(2013, 1, 1) && h.chance(0.3);
    c.finActivite = c.ancien ? std::min(c.creation + h.entre(60, 6 * 365), serieDu(2016, 12, 31))
                             : serieDu(2025, 6, 30);
    const double annees = (c.finActivite - c.creation) / 365.25;
    const double facteur = 0.5 + annees / 10.0;
    c.poidsFiches = h.chance(0.12) ? 0 : (0.2 + poidsEtale(h)) * facteur;
    c.poidsVisites = h.chance(0.08) ? 0 : (0.3 + 0.5 * c.poidsFiches + poidsEtale(h)) * facteur;

    // A relative carries no planted fault: what tells the person must stay.
    const Parente parent = parente(numero);
    const std::vector<Defaut> liste =
        parent.genre == Parente::Aucune ? defauts() : std::vector<Defaut>();
    const auto avec = [&](Defaut d) {
        return std::find(liste.begin(), liste.end(), d) != liste.end();
    };
    // Some faults need a town of a particular kind.
    const Commune* commune = nullptr;
    if (avec(CpSansZeroInitial)) {
        commune = m_voisinage.tirerAvecZeroInitial(h);
    }
    for (int essai = 0; commune == nullptr ||
                        (avec(CpLettreO) && !commune->codePostal.contains(u'0') && essai < 50);
         ++essai) {
        commune = &m_voisinage.tirer(h);
    }
    for (Valeur& v : l) {
        v = Valeur();
    }
    l[cNumero] = Valeur::entier(numero);
    l[cCode] = c.code;
    l[cCreation] = texteDate(c.creation);
    ligneSaine(l, *commune);
    if (parent.genre != Parente::Aucune) {
        apparenter(parent, c, l);
        m_modeles.push_back({c.code, numero, identite(l)});
        return c;
    }
    unsigned zones = 0;
    bool enErreur = false;
    for (Defaut d : liste) {
        if (d == CpSansZeroInitial && !commune->codePostal.startsWith(u'0')) {
            d = CpLettreO;  // the towns list has no postal code starting with 0
        }
        zones |= kRegles[d].zones;
        if (planter(d, l, *commune, zones)) {
            ++m_bilan.parDefaut[d];
            enErreur = true;
        }
    }
    if (enErreur) {
        ++m_bilan.enErreur;
    } else {
        m_modeles.push_back({c.code, numero, identite(l)});
    }
    return c;
}

}  // namespace

QString libelle(Defaut d) {
    return QString::fromUtf8(kRegles[d].libelle);
}

std::vector<Client> ecrireClients(store::Connexion& cn, int nombre,
                                  const std::vector<Commune>& communes, std::uint64_t graine,
                                  BilanClients& bilan) {
    QStringList noms;
    QStringList marques;
    for (const char* nom : kColonnes) {
        noms << store::citer(QString::fromUtf8(nom));
        marques << QStringLiteral("?");
    }
    store::Instruction insertion(cn, QStringLiteral("INSERT INTO FCLI (%1) VALUES (%2)")
                                         .arg(noms.join(u','), marques.join(u',')));
    Generateur g(communes, graine, bilan);
    std::vector<Client> clients;
    clients.reserve(static_cast<std::size_t>(nombre));
    Ligne l;
    for (int numero = 1; numero <= nombre; ++numero) {
        clients.push_back(g.client(numero, nombre, l));
        insertion.reinitialiser();
        for (int i = 0; i < kNbColonnes; ++i) {
            insertion.lier(i + 1, l[static_cast<std::size_t>(i)]);
        }
        insertion.executer();
    }
    bilan.clients = nombre;
    return clients;
}

}  // namespace demo
