#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <vector>

// Candidate duplicate clients: the same person recorded more than once in FCLI.
namespace doublons {

// The fields compared, in the order they are shown and listed.
enum Champ { Nom, Prenom, Naissance, Telephone, Email, Adresse, CodePostal, Ville, kNbChamps };
// "Nom", "Prénom", "Date de naissance", "Téléphone", "Email", "Adresse",
// "Code Postal", "Ville".
QString libelle(Champ champ);

// How one field of two clients compares, once normalised.
enum class Accord : unsigned char {
    Absent,     // empty on one side at least: says nothing
    Egal,       // the same
    Proche,     // one or two typing errors apart, or the same sound
    Partiel,    // one holds the other's words ("MARIE" / "MARIE CLAIRE", a double surname)
    Different,  // plainly not the same
};

// The points a pair needs to be proposed.
inline constexpr int kSeuil = 60;

// A client that belongs to a candidate group.
struct Client {
    qint64 rowid = 0;  // the row of FCLI
    QString code;      // its Code as text
    QString nom;       // "Nom Prénom" as stored, for lists
};

// Two clients that may be one person.
struct Paire {
    int a = 0;  // indexes in Resultat::clients, a read before b
    int b = 0;
    int score = 0;          // points, at least kSeuil
    bool inverses = false;  // one record has the first and last names swapped
    std::array<Accord, kNbChamps> accords{};

    // The fields that agree (the same or close) and those that differ, in
    // the order of Champ, as libelle() names them.
    QStringList champsEnAccord() const;
    QStringList champsEnEcart() const;
};

// Clients linked by candidate pairs.
struct Groupe {
    std::vector<int> membres;   // indexes in Resultat::clients, in the order of FCLI
    std::vector<Paire> paires;  // best first
    int score = 0;              // of its best pair
};

struct Resultat {
    int nbClients = 0;            // clients read
    std::vector<Client> clients;  // the members of the groups only
    std::vector<Groupe> groupes;  // best first
    int nbPaires() const;
};

// Reads FCLI of the folder's BdClient.mdb once, without writing anything, and
// groups the clients that may be the same person. Only clients that share a
// cheap key (the sound of their names, a telephone number, an e-mail, a birth
// date, an address) are compared; a pair is proposed when its points reach
// kSeuil, something beyond the names agrees, the first names do not plainly
// differ and the sexes, when both are given, are the same. The pairs said
// "pas un doublon" are left out (retirerPasDoublons).
// Throws store::ErreurStore.
Resultat chercherDoublons(const QString& dossier);

// "Doublon<TAB>code1<TAB>code2<TAB>score<TAB>Nom,Prénom,Téléphone": one line
// per pair, as the batch mode prints it.
QString ligneDoublon(const Resultat& resultat, const Paire& paire);
// "Doublons possibles : 3 groupe(s), 4 paire(s) sur 500 clients"
QString legendeDoublons(const Resultat& resultat);

}  // namespace doublons
