#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <array>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

namespace communes {

// A town name as people misspell it, compared with the reference: capitals,
// no accents, hyphens and apostrophes as blanks, one blank between words,
// SAINT and SAINTE as ST and STE ("Saint-Étienne" gives "ST ETIENNE").
QString normaliserVille(const QString& ville);

// Edit distance counting a swap of two neighbouring letters as one edit; any
// distance above `max` is given as max + 1, found without computing it whole.
int distanceBornee(QStringView a, QStringView b, int max);

// The edits allowed between a normalised name of this length and a town of
// the reference for the town to be called close: 1 up to 5 letters, 2 up to
// 11, 3 beyond.
int ecartPermis(qsizetype longueur);

// The whole towns reference in memory, read once, indexed for the searches
// that would otherwise compare a value with every town: the normalised names
// by their three-letter pieces, the postal codes of each town and the towns
// of each postal code.
class IndexCommunes {
public:
    // (postal code, town) rows, as the table gives them.
    explicit IndexCommunes(const std::vector<std::pair<QString, QString>>& lignes);

    // The index of dossier/communes.mdb, built on first use and kept while the
    // file stays the same. Throws store::ErreurStore.
    static std::shared_ptr<const IndexCommunes> charger(const QString& dossier);

    struct Proche {
        QString ville;  // as the reference writes it
        int distance;   // between normalised names
    };
    // The towns whose normalised name is the value's or within the edits its
    // length allows, nearest first, then in alphabetical order.
    std::vector<Proche> proches(const QString& valeur) const;

    // Postal codes of a town and towns of a postal code, in the order of the
    // reference, each once. Town names are matched as the rules match them
    // (ASCII letter case aside).
    QStringList codesDe(const QString& ville) const;
    QStringList villesDe(const QString& codePostal) const;

    // The normalised name, kept for the towns of the reference.
    QString norme(const QString& ville) const;

    int nbVilles() const { return static_cast<int>(m_noms.size()); }

private:
    // How many of each letter a normalised name holds (digits, blanks and the
    // rest in a few boxes): names too far apart are told without measuring.
    using Sac = std::array<quint8, 32>;
    static Sac sacDe(const QString& norme);
    static int distanceDeSacs(const Sac& a, const Sac& b);

    std::vector<QString> m_noms;                   // distinct towns
    std::vector<QString> m_normes;                 // distinct normalised names
    std::vector<std::vector<int>> m_nomsParNorme;  // normalised -> towns
    QHash<QString, int> m_indexNorme;              // normalised -> its index
    QHash<QString, int> m_normeDe;                 // town -> its normalised
    std::vector<int> m_longueurs;                  // of each normalised name
    std::vector<Sac> m_sacs;                       // of each normalised name
    // Piece -> the normalised names that hold it, shortest first.
    std::unordered_map<quint64, std::vector<int>> m_trigrammes;  // piece -> normalised
    QHash<QString, QStringList> m_codes;                         // folded town -> postal codes
    QHash<QString, QStringList> m_villes;                        // folded postal code -> towns
};

}  // namespace communes
