#pragma once

#include <QDate>
#include <QLocale>
#include <QString>

namespace commun {
struct Variables;
}

namespace purge {

// How a purge is kept in the journal: under its operation, the key of each
// deleted row, then two rows without key, the date it was given and how many
// rows went.
namespace operations {
inline const QString kPurgeClients = QStringLiteral("Purge des clients");
inline const QString kPurgeTech = QStringLiteral("Purge des fiches techniques");
inline const QString kDateLimite = QStringLiteral("Date limite");
inline const QString kLignesSupprimees = QStringLiteral("Lignes supprimées");
}  // namespace operations

// "Lecture" counts what a purge would delete, "Purge" deletes it.
enum class Mode { Lecture, Purge };

// What a deletion shows while it runs: the window, its "Purge en cours" panel.
class ObservateurPurge {
public:
    virtual ~ObservateurPurge() = default;
    virtual void suppressionCommencee() {}
    // After the deletion, whether it was done or failed.
    virtual void suppressionTerminee() {}
};

// The text of a chosen date, as the date labels show it: the locale's short
// date, its year always in four digits so that reading it back is never
// ambiguous.
QString texteDate(const QDate& date, const QLocale& locale);

// What the window shows and the batch prints once a purge is done.
QString messagePurgeFaite();  // "Purge effecuée."

// The SQL texts (Jet dialect) for a date text in the working locale's short
// form. A text that is not a date throws store::ErreurStore.
QString sqlPurgeClients(const QString& date, Mode mode);
QString sqlPurgeTech(const QString& date, Mode mode);

// The clients who came before the date and never since (at least one visit,
// none on or after the date); their visits and sheets stay.
// Lecture: how many there are. Purge: deletes them in one transaction and
// gives how many rows went. Store failures throw store::ErreurStore.
qint64 PurgeClients(commun::Variables& vars, const QString& date, Mode mode,
                    ObservateurPurge& observateur);
// The technical sheets dated before the date, every row counted.
qint64 PurgeTech(commun::Variables& vars, const QString& date, Mode mode,
                 ObservateurPurge& observateur);

}  // namespace purge
