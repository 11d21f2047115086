#include "export/VerbesExport.h"

#include <QDir>

#include "clients/VerbesClients.h"
#include "commun/Verbes.h"
#include "export/Export.h"
#include "tech/VerbesTech.h"

namespace exports {

namespace {

// Prints the records the importer may misread, one line each, then the
// export's files and its closing message, last as scripts expect it.
template <class Export>
int exporter(commun::Contexte& c, bool fiches, Export exporter) {
    const Bilan bilan = exporter();
    if (!bilan.ambigus.isEmpty()) {
        c.out << avertissementAmbigus(bilan.ambigus.size(), fiches) << '\n';
        const QString liste =
            fiches ? QStringLiteral("FicheAmbigue") : QStringLiteral("ClientAmbigu");
        for (const QString& cle : bilan.ambigus) {
            c.out << commun::ligneListe(liste, {cle}) << '\n';
        }
    }
    for (const QString& f : bilan.fichiers) {
        c.out << QDir::toNativeSeparators(f) << '\n';
    }
    c.out << messageExportFait(bilan.nbFichiers, fiches) << '\n';
    return commun::kFait;
}

// The progress list, one printed line per row.
class SortieExport : public ObservateurExport {
public:
    explicit SortieExport(QTextStream& out) : m_out(out) {}
    void ligne(const QString& texte) override {
        m_out << commun::ligneListe(QStringLiteral("Listelog"), {texte}) << '\n';
    }

private:
    QTextStream& m_out;
};

}  // namespace

int verbeExportClients(commun::Contexte& c) {
    if (!clients::preparerAnalyse(c)) {
        return commun::kEchec;
    }
    commun::Variables& v = c.variables;
    QSet<QString> exclus;
    clients::analyserClients(c, &exclus);
    // The run leaves the towns reference open for corrections; none follow here.
    v.cnCommunes.Fermer();
    SortieExport progression(c.out);
    return exporter(c, false, [&] { return ExportClients(v.dossier, exclus, &progression); });
}

int verbeExportTechniques(commun::Contexte& c) {
    const auto analyse = tech::analyserFiches(c);
    if (!analyse) {
        return commun::kEchec;
    }
    return exporter(c, true,
                    [&] { return ExportTechniques(c.variables.dossier, analyse->exclus); });
}

}  // namespace exports
