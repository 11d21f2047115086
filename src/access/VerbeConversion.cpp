#include "access/VerbeConversion.h"

#include <QDir>
#include <QFileInfo>

#include "access/Conversion.h"
#include "access/Erreur.h"
#include "commun/Verbes.h"

namespace acces {

namespace {

// The batch run prints a line per table as it is done.
class SortieConversion : public ObservateurConversion {
public:
    explicit SortieConversion(QTextStream& out) : m_out(out) {}
    void tables(const std::vector<TableConvertie>& tables) override { m_tables = tables; }
    void tableFaite(int table, qint64 lignes) override {
        if (table >= 0 && table < static_cast<int>(m_tables.size())) {
            const TableConvertie& t = m_tables[static_cast<size_t>(table)];
            m_out << QStringLiteral("  %1 : %2 / %3 lignes\n").arg(t.nom).arg(lignes).arg(t.lignes);
            m_out.flush();
        }
    }

private:
    QTextStream& m_out;
    std::vector<TableConvertie> m_tables;
};

QString nom(const QString& chemin) {
    return QFileInfo(chemin).fileName();
}

}  // namespace

int verbeConvertirAccess(commun::Contexte& c) {
    const std::vector<FichierAccess> fichiers = fichiersAccess(c.variables.dossier);
    if (fichiers.empty()) {
        c.out << QStringLiteral("Aucune base Microsoft Access à convertir dans « %1 ».\n")
                     .arg(QDir::toNativeSeparators(c.variables.dossier));
        return commun::kFait;
    }
    for (const FichierAccess& f : fichiers) {
        if (const QString verrou = fichierVerrou(f.chemin); !verrou.isEmpty()) {
            c.err << QStringLiteral(
                         "Attention : « %1 » est présent, le logiciel du salon semble "
                         "avoir « %2 » ouvert. Fermez-le avant de convertir.\n")
                         .arg(nom(verrou), f.nom);
        }
    }
    for (const FichierAccess& f : fichiers) {
        if (!c.commande.pageCode.isEmpty() && f.version != QLatin1String("Jet 3")) {
            c.err << QStringLiteral(
                         "--page-code ne sert qu'aux bases Access 97 (Jet 3) : ignorée "
                         "pour %1, dont le texte est en Unicode.\n")
                         .arg(f.nom);
        }
    }
    if (!c.commande.oui) {
        for (const FichierAccess& f : fichiers) {
            c.out << QStringLiteral(
                         "%1 est une base Microsoft Access (%2) : elle serait convertie, "
                         "l'original conservé sans modification sous %3.\n")
                         .arg(f.nom, f.version, nom(nomSauvegarde(f.chemin)));
        }
        c.out << QStringLiteral("Relancez avec --oui pour convertir.\n");
        return commun::kFait;
    }
    Options options;
    options.pageCode = c.commande.pageCode;
    std::vector<Resultat> faits;
    for (const FichierAccess& f : fichiers) {
        c.out << QStringLiteral("Conversion de %1 (Microsoft Access, %2)\n").arg(f.nom, f.version);
        c.out.flush();
        SortieConversion observateur(c.out);
        try {
            const Resultat r = convertir(f, options, observateur);
            // The rate of the rows themselves: opening and syncing files cost
            // the same for ten rows as for a million.
            const qint64 parSeconde =
                r.microsecondes > 0 ? r.lignes * 1000000 / r.microsecondes : r.lignes;
            c.out << QStringLiteral(
                         "%1 converti : %2 table(s), %3 ligne(s) (%4 lignes/s). "
                         "Original conservé sous %5.\n")
                         .arg(f.nom)
                         .arg(r.tables.size())
                         .arg(r.lignes)
                         .arg(parSeconde)
                         .arg(nom(r.sauvegarde));
            if (r.remplaces > 0) {
                c.out << QStringLiteral(
                             "Attention : %1 caractère(s) sans équivalent ont été "
                             "remplacés par « \uFFFD ».\n")
                             .arg(r.remplaces);
            }
            faits.push_back(r);
        } catch (const ErreurAccess& e) {
            c.err << e.message() << "\n" << conclusionEchec(f, faits) << "\n";
            return commun::kEchec;
        }
    }
    return commun::kFait;
}

}  // namespace acces
