#include "export/LotExport.h"

#include <QDir>

#include "app/Batch.h"
#include "export/Export.h"
#include "platform/ErreurFichier.h"
#include "store/Erreur.h"
#include "tech/AnalyseTech.h"

namespace exports {

namespace {

// Prints the export's files and closing message; a failure on the error output.
template <class Export>
int exporter(app::batch::Contexte& c, const QString& fin, Export exporter) {
    try {
        const Bilan bilan = exporter();
        for (const QString& f : bilan.fichiers) {
            c.out << QDir::toNativeSeparators(f) << '\n';
        }
        c.out << bilan.nbFichiers << fin << '\n';
    } catch (const store::ErreurStore& e) {
        c.out.flush();
        c.err << e.message() << '\n';
        return app::batch::kEchec;
    } catch (const platform::ErreurFichier& e) {
        c.out.flush();
        c.err << e.message() << '\n';
        return app::batch::kEchec;
    }
    return app::batch::kFait;
}

// The sheet analysis's rows, list by list, and the numbers of the sheets
// without family.
class AnalyseFiches : public tech::ObservateurAnalyse {
public:
    void ligne(tech::Liste liste, const tech::LigneTech& ligne) override {
        const QString texte =
            app::batch::ligneListe(tech::nomListe(liste), tech::colonnes(liste, ligne));
        if (liste == tech::Liste::CliTech) {
            familles << texte;
            bool ok = false;
            const qint64 numero = ligne.numero.toLongLong(&ok);
            if (ok) {
                exclus.insert(numero);
            }
        } else {
            memos << texte;
        }
    }
    void imprimer(QTextStream& out) const {
        for (const QStringList* l : {&familles, &memos}) {
            for (const QString& ligne : *l) {
                out << ligne << '\n';
            }
        }
    }

    QStringList familles;
    QStringList memos;
    QSet<qint64> exclus;
};

}  // namespace

int lotExportTechniques(app::batch::Contexte& c) {
    app::Variables& v = c.variables;
    v.CheminBd = v.cheminBd();
    AnalyseFiches analyse;
    try {
        v.NbTech = tech::AnalyseTech(v.CheminBd, analyse);
    } catch (const store::ErreurStore& e) {
        analyse.imprimer(c.out);
        c.out.flush();
        c.err << tech::messageEchecAnalyse(e.message()) << '\n';
        return app::batch::kEchec;
    }
    analyse.imprimer(c.out);
    c.out << tech::legendeListeTech(analyse.familles.size(), v.NbTech) << '\n';
    return exporter(c, QStringLiteral(" Fichier(s) CSV Tecnique créé(s)."),
                    [&] { return ExportTechniques(v.dossier, analyse.exclus); });
}

}  // namespace exports
