#include "purge/Purge.h"

#include "commun/Variables.h"
#include "platform/Locale.h"
#include "store/Connexion.h"
#include "store/Dates.h"
#include "store/Erreur.h"
#include "store/Journal.h"
#include "store/Recordset.h"

namespace purge {

namespace {

// The date text read back in the working locale. A day to come would take
// every client who ever came: refused.
QDate lireDate(const QString& date) {
    const auto serie = store::dates::lireLocal(date, platform::localeTravail());
    if (!serie) {
        throw store::ErreurStore(
            QStringLiteral("« %1 » n'est pas une date : la purge est abandonnée.").arg(date));
    }
    const QDate jour = store::dates::depuisSerie(*serie).date();
    if (jour > QDate::currentDate()) {
        throw store::ErreurStore(
            QStringLiteral("La date du %1 est après aujourd'hui : la purge est abandonnée. "
                           "Choisissez un jour passé.")
                .arg(date));
    }
    return jour;
}

// Where a purge reads its dates.
struct Dates {
    QString table;
    QString colonne;
    QString libelle;   // "date de visite"
    QString libelles;  // "dates de visite"
};

// Every stored date must read as one before anything is counted or deleted:
// a value that is not a date could be of any day.
void verifierDates(const store::Connexion& cn, const Dates& d) {
    store::Instruction i(cn, QStringLiteral("SELECT %1 FROM %2 WHERE NonDate(%1)")
                                 .arg(store::citer(d.colonne), store::citer(d.table)));
    qint64 n = 0;
    QString exemple;
    while (i.avancer()) {
        if (n++ == 0) {
            const store::Valeur v = i.colonne(0);
            exemple = v.type() == store::Valeur::Type::Octets ? QStringLiteral("(données binaires)")
                                                              : v.texte();
        }
    }
    const QString champ = d.table + u'.' + d.colonne;
    if (n == 1) {
        throw store::ErreurStore(
            QStringLiteral("La purge est abandonnée, rien n'est supprimé : une %1 (%2) ne se lit "
                           "pas comme une date : « %3 ». Corrigez-la ou videz-la, puis "
                           "recommencez.")
                .arg(d.libelle, champ, exemple));
    }
    if (n > 1) {
        throw store::ErreurStore(
            QStringLiteral("La purge est abandonnée, rien n'est supprimé : %1 %2 (%3) ne se "
                           "lisent pas comme des dates, par exemple « %4 ». Corrigez-les ou "
                           "videz-les, puis recommencez.")
                .arg(QString::number(n), d.libelles, champ, exemple));
    }
}

// The date written month first with the given separator ("03/15/2005",
// "03,15,2005"), as the store reads the literals.
QString litteral(const QString& date, QChar separateur) {
    return lireDate(date).toString(QStringLiteral("MM%1dd%1yyyy").arg(separateur));
}

// Sets the window's panel back, whatever happens to the deletion.
class FinSuppression {
public:
    explicit FinSuppression(ObservateurPurge& o) : m_o(o) { m_o.suppressionCommencee(); }
    FinSuppression(const FinSuppression&) = delete;
    FinSuppression& operator=(const FinSuppression&) = delete;
    ~FinSuppression() { m_o.suppressionTerminee(); }

private:
    ObservateurPurge& m_o;
};

// A purge that deletes records its run in the journal: each deleted row's
// key, the date it was given and how many rows went.
struct Trace {
    QString operation;
    QString table;
    QString date;
    Dates dates;
};

qint64 executer(commun::Variables& vars, const QString& sql, Mode mode,
                ObservateurPurge& observateur, const Trace& trace) {
    vars.CheminBd = vars.cheminBd();
    if (mode == Mode::Lecture) {
        store::Connexion cnBd(vars.CheminBd);
        verifierDates(cnBd, trace.dates);
        store::Recordset rsBd;
        rsBd.Open(sql, cnBd);
        return rsBd.RecordCount();
    }
    const FinSuppression fin(observateur);
    store::Connexion cnBd(vars.CheminBd);
    store::journal::activer(cnBd, trace.operation);
    // All the rows concerned or none: a failure half-way leaves the file as it was.
    store::Transaction transaction(cnBd);
    // Checked inside the transaction: no date can change before the deletion.
    verifierDates(cnBd, trace.dates);
    // The deleted rows are kept whole in the journal, for the undo.
    store::journal::noterColonnes(cnBd, trace.table);
    store::Recordset rsBd;
    // Opening a recordset on a DELETE carries the deletion out.
    rsBd.Open(sql, cnBd);
    const qint64 supprimes = cnBd.lignesModifiees();
    store::journal::noter(cnBd, trace.table, {}, operations::kDateLimite, {},
                          store::Valeur::date(store::dates::serie(lireDate(trace.date))));
    store::journal::noter(cnBd, trace.table, {}, operations::kLignesSupprimees, {},
                          store::Valeur::entier(supprimes));
    transaction.valider();
    return supprimes;
}

}  // namespace

QString messagePurgeFaite() {
    return QStringLiteral("Purge effecuée.");
}

QString texteDate(const QDate& date, const QLocale& locale) {
    QString format = locale.dateFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1String("yyyy"))) {
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    }
    return locale.toString(date, format);
}

QString sqlPurgeClients(const QString& date, Mode mode) {
    const QString d = litteral(date, u'/');
    // Clients with a visit before the date and none on or after it. A visit
    // without a date may be recent: its client stays. EnDate reads every
    // stored form of a date. Codes match letter case aside, whatever the
    // columns declare.
    const QString clients =
        QStringLiteral(
            "select distinct FCLI.Code from FCLI Inner Join FCONS ON FCLI.Code = "
            "FCONS.CODE_CLIENT COLLATE NOCASE Where EnDate(FCONS.DATE_VISITE) < #%1# and not "
            "exists (select * from FCONS as Recente where Recente.CODE_CLIENT = FCLI.Code "
            "COLLATE NOCASE and (EnDate(Recente.DATE_VISITE) >= #%1# or "
            "EnDate(Recente.DATE_VISITE) is null))")
            .arg(d);
    if (mode == Mode::Lecture) {
        return u' ' + clients;
    }
    return QStringLiteral("DELETE FCLI.* FROM FCLI  where FCLI.Code in ( %1)").arg(clients);
}

QString sqlPurgeTech(const QString& date, Mode mode) {
    const QString d = litteral(date, u',');
    if (mode == Mode::Lecture) {
        return QStringLiteral(" select Code_client from FTEC  Where EnDate(Date) < #%1#").arg(d);
    }
    return QStringLiteral("DELETE * FROM FTEC Where EnDate(Date) < #%1#").arg(d);
}

qint64 PurgeClients(commun::Variables& vars, const QString& date, Mode mode,
                    ObservateurPurge& observateur) {
    return executer(vars, sqlPurgeClients(date, mode), mode, observateur,
                    {operations::kPurgeClients,
                     QStringLiteral("FCLI"),
                     date,
                     {QStringLiteral("FCONS"), QStringLiteral("DATE_VISITE"),
                      QStringLiteral("date de visite"), QStringLiteral("dates de visite")}});
}

qint64 PurgeTech(commun::Variables& vars, const QString& date, Mode mode,
                 ObservateurPurge& observateur) {
    return executer(
        vars, sqlPurgeTech(date, mode), mode, observateur,
        {operations::kPurgeTech,
         QStringLiteral("FTEC"),
         date,
         {QStringLiteral("FTEC"), QStringLiteral("Date"), QStringLiteral("date de fiche technique"),
          QStringLiteral("dates de fiches techniques")}});
}

}  // namespace purge
