#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <utility>

namespace store {
class Connexion;
class Instruction;
class Valeur;
}  // namespace store

namespace tech {

// The names under which the sheet runs record their changes in the journal.
namespace operations {
inline const QString kNettoyageMemos = QStringLiteral("Nettoyage des mémos");
inline const QString kFamille = QStringLiteral("Choix de la famille");
}  // namespace operations

// A memo longer than this many characters of stored text (RTF markup
// included, counted in UTF-16 units) is too long for the new application.
inline constexpr int kLongueurMemo = 500;

// The end of a memo tidied: trailing blanks first, then trailing CR LF pairs,
// each loop once and in that order, so "abc \r\n" keeps its blank.
QString nettoyerMemo(QString memo);

// A sheet lacks its family when Famille is Null or empty; blanks are a family.
bool ErrFamille(const store::Valeur& famille);
// The stored memo is longer than kLongueurMemo; a Null memo never is.
bool ErrMemo(const store::Valeur& memo);

// The two lists of the analysis: sheets without family, memos too long.
enum class Liste { CliTech, Memo };
QString nomListe(Liste liste);  // "ListCliTech", "ListMemo"

// A listed sheet: its number and its client's code and "Nom Prénom" (both
// empty when no client has that code).
struct LigneTech {
    QString numero;
    QString code;
    QString nom;
};
// The client of a sheet, found by the sheet's Code_Client as the store
// compares text: ASCII letter case aside whatever the columns declare, the
// code written exactly so first, then the first client in table order. The
// codes are read once, at the first question.
class ClientsDesFiches {
public:
    explicit ClientsDesFiches(const store::Connexion& cn);
    ~ClientsDesFiches();
    // The client's code and "Nom Prénom"; nothing when no client has that code.
    std::optional<std::pair<QString, QString>> client(const QString& code);

private:
    const store::Connexion& m_cn;
    bool m_lus = false;
    QHash<QString, qint64> m_sansCasse;  // code, letter case folded -> row id
    QHash<QString, qint64> m_exacts;     // codes that differ by letter case alone -> row id
    std::unique_ptr<store::Instruction> m_lecture;
};

// The row's text and sub-items, as the list shows them:
// Auto, Numéro Client, Nom, ErrFamille, ErrMemo.
QStringList colonnes(Liste liste, const LigneTech& ligne);

// What a run tells its window or its batch output.
class ObservateurAnalyseFiches {
public:
    virtual ~ObservateurAnalyseFiches() = default;
    // Memo n of total being tidied.
    virtual void rangement(qint64 n, qint64 total) {}
    // The memos are tidied and the sheets counted: the lists start empty.
    virtual void debut(qint32 total) {}
    // Sheet n of total (from 1) is being judged.
    virtual void progression(qint32 n, qint32 total) {}
    // A sheet in error, for one list; a sheet with both errors comes twice.
    virtual void ligne(Liste liste, const LigneTech& ligne) = 0;
};

// Tidies the end of every non-Null memo of FTEC and writes it back, all in
// one transaction (an unchanged memo is left as it is on disk).
void PreAnalyseTech(const QString& cheminBd, ObservateurAnalyseFiches* observateur = nullptr);

// The sheet analysis: first what it needs checked (FTEC and FCLI with the
// columns it reads, the database writable), then PreAnalyseTech, then every sheet of FTEC judged in
// table order, the client of each sheet in error looked up by its code. Returns the number of
// sheets counted (NbTech). Failures throw store::ErreurStore; rows already reported stay reported.
qint32 AnalyseTech(const QString& cheminBd, ObservateurAnalyseFiches& observateur);

// "Liste des techniques avec erreurs ( 12 / 340 )"
QString legendeListeTech(qint64 nbLignes, qint64 total);
// Shown when no sheet lacks its family.
QString messageSansErreur();
// Shown when the last sheet without family has been corrected.
QString messagePlusErreur();
// Shown when the store fails during the analysis, with the store's own words.
QString messageEchecAnalyse(const QString& cause);

}  // namespace tech
