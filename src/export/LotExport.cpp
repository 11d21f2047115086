#include "export/LotExport.h"

#include <QDir>

#include "app/Batch.h"
#include "clients/Analyse.h"
#include "clients/LotClients.h"
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

// The client analysis's rows as --analyse-clients prints them, and the codes of
// the clients in error.
class AnalyseClients : public clients::ObservateurAnalyse {
public:
    explicit AnalyseClients(QTextStream& out) : m_out(out) {}
    void noteTropLongue(const clients::NoteLongue& note) override {
        m_out << app::batch::ligneListe(QStringLiteral("ListBN"), {note.code, note.nom}) << '\n';
    }
    void clientEnErreur(const clients::Evaluation& e, int, int) override {
        m_out << app::batch::ligneListe(QStringLiteral("ListCli"),
                                        QStringList{e.CodeClient, e.NomClient} + e.marques())
              << '\n';
        exclus.insert(e.CodeClient);
    }

    QSet<QString> exclus;

private:
    QTextStream& m_out;
};

// The progress list, one printed line per row.
class Progression : public Observateur {
public:
    explicit Progression(QTextStream& out) : m_out(out) {}
    void ligne(const QString& texte) override {
        m_out << app::batch::ligneListe(QStringLiteral("Listelog"), {texte}) << '\n';
    }

private:
    QTextStream& m_out;
};

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

int lotExportClients(app::batch::Contexte& c) {
    if (!clients::preparerLot(c)) {
        return app::batch::kEchec;
    }
    app::Variables& v = c.variables;
    AnalyseClients analyse(c.out);
    try {
        const clients::BilanAnalyse bilan = clients::AnalyseBd(v, analyse);
        v.NbCli = bilan.NbCli;
        v.NbCliErr = bilan.NbCliErr;
        c.out << clients::messageAnalyseTerminee() << '\n';
        c.out << clients::legendeListe(bilan.NbCliErr, bilan.NbCli) << '\n';
    } catch (const store::ErreurStore& e) {
        c.out.flush();
        c.err << e.message() << '\n';
        return app::batch::kEchec;
    } catch (const platform::ErreurFichier& e) {
        c.out.flush();
        c.err << e.message() << '\n';
        return app::batch::kEchec;
    }
    // The run leaves the towns reference open for corrections; none follow here.
    v.cnCommunes.Fermer();
    Progression progression(c.out);
    return exporter(c, QStringLiteral(" Fichier(s) CSV créé(s)."),
                    [&] { return ExportClients(v.dossier, analyse.exclus, &progression); });
}

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
