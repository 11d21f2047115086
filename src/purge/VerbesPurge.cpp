#include "purge/VerbesPurge.h"

#include <QRegularExpression>

#include "commun/Verbes.h"
#include "platform/Locale.h"
#include "purge/AnnulationPurge.h"
#include "purge/Purge.h"

namespace purge {

namespace {

using Fonction = qint64 (*)(commun::Variables&, const QString&, Mode, ObservateurPurge&);

int lot(commun::Contexte& c, Fonction purger) {
    const QString argument = c.commande.parametres.value(0);
    const QDate date = lireDateCommande(argument);
    if (!date.isValid()) {
        c.err << QStringLiteral("« %1 » n'est pas une date : écrivez JJ/MM/AAAA ou AAAA-MM-JJ.\n")
                     .arg(argument);
        return commun::kUsage;
    }
    // The same text as the window's date label, read back the same way.
    const QString texte = texteDate(date, platform::localeTravail());
    ObservateurPurge observateur;
    c.out << purger(c.variables, texte, Mode::Lecture, observateur) << '\n';
    c.out.flush();
    if (c.commande.oui) {
        purger(c.variables, texte, Mode::Purge, observateur);
        c.out << messagePurgeFaite() << '\n';
    }
    return commun::kFait;
}

}  // namespace

QDate lireDateCommande(const QString& texte) {
    static const QRegularExpression jma(QStringLiteral(R"(^(\d{1,2})/(\d{1,2})/(\d{4})$)"));
    static const QRegularExpression amj(QStringLiteral(R"(^(\d{4})-(\d{2})-(\d{2})$)"));
    if (const auto m = jma.match(texte.trimmed()); m.hasMatch()) {
        return QDate(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
    }
    if (const auto m = amj.match(texte.trimmed()); m.hasMatch()) {
        return QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    }
    return {};
}

int verbePurgeClients(commun::Contexte& contexte) {
    return lot(contexte, &PurgeClients);
}

int verbePurgeTechniques(commun::Contexte& contexte) {
    return lot(contexte, &PurgeTech);
}

int verbeAnnulerPurge(commun::Contexte& c) {
    const auto derniere = dernierePurge(c.variables);
    if (!derniere) {
        c.out << messageAucunePurge() << '\n';
        return commun::kFait;
    }
    const ResultatAnnulationPurge r = AnnulerPurge(c.variables, derniere->lot);
    if (!r.faite) {
        c.err << QString(r.refus).replace(QStringLiteral("\r\n"), QStringLiteral("\n")) << '\n';
        return commun::kEchec;
    }
    c.out << messagePurgeAnnulee(r) << '\n';
    return commun::kFait;
}

}  // namespace purge
