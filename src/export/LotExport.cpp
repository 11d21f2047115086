#include "export/LotExport.h"

#include <QDir>

#include "app/Batch.h"
#include "clients/LotClients.h"
#include "export/Export.h"
#include "store/Erreur.h"
#include "tech/LotTech.h"

namespace exports {

namespace {

// Prints the records the importer may misread, one line each, then the
// export's files and its closing message, last as scripts expect it.
template <class Export>
int exporter(commun::Contexte& c, const QString& fin, bool fiches, Export exporter) {
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
    c.out << bilan.nbFichiers << fin << '\n';
    return commun::kFait;
}

// The progress list, one printed line per row.
class Progression : public Observateur {
public:
    explicit Progression(QTextStream& out) : m_out(out) {}
    void ligne(const QString& texte) override {
        m_out << commun::ligneListe(QStringLiteral("Listelog"), {texte}) << '\n';
    }

private:
    QTextStream& m_out;
};

}  // namespace

int lotExportClients(commun::Contexte& c) {
    if (!clients::preparerLot(c)) {
        return commun::kEchec;
    }
    commun::Variables& v = c.variables;
    QSet<QString> exclus;
    clients::analyserEnLot(c, &exclus);
    // The run leaves the towns reference open for corrections; none follow here.
    v.cnCommunes.Fermer();
    Progression progression(c.out);
    return exporter(c, QStringLiteral(" Fichier(s) CSV créé(s)."), false,
                    [&] { return ExportClients(v.dossier, exclus, &progression); });
}

int lotExportTechniques(commun::Contexte& c) {
    commun::Variables& v = c.variables;
    v.CheminBd = v.cheminBd();
    tech::SortieLot analyse;
    try {
        v.NbTech = tech::AnalyseTech(v.CheminBd, analyse);
    } catch (const store::ErreurStore& e) {
        analyse.imprimer(c.out);
        c.out.flush();
        c.err << tech::messageEchecAnalyse(e.message()) << '\n';
        return commun::kEchec;
    }
    analyse.imprimer(c.out);
    c.out << tech::legendeListeTech(analyse.familles.size(), v.NbTech) << '\n';
    return exporter(c, QStringLiteral(" Fichier(s) CSV Tecnique créé(s)."), true,
                    [&] { return ExportTechniques(v.dossier, analyse.exclus); });
}

}  // namespace exports
