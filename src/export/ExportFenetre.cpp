#include "export/ExportFenetre.h"

#include <QApplication>
#include <QEvent>
#include <QTreeWidget>

#include "commun/Cadre.h"
#include "commun/Controles.h"
#include "commun/Messages.h"
#include "commun/Variables.h"
#include "export/Export.h"
#include "platform/Erreur.h"

namespace exports {

namespace {

const QString kSaut = QStringLiteral("\r\n");

// The window's progress panel over the tabs, its lines repainted as they come.
class SuiviExport : public ObservateurExport {
public:
    explicit SuiviExport(commun::Cadre& cadre) : m_cadre(cadre) {}

    void debut() override {
        m_cadre.montrerProgression();
        repeindre();
    }

    void ligne(const QString& texte) override {
        m_cadre.ajouterProgression(texte);
        repeindre();
    }

private:
    // A few lines per run (one per 800 clients): no need to throttle. The
    // user cannot act until the closing message.
    static void repeindre() { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }

    commun::Cadre& m_cadre;
};

// The window cannot be closed under an export that lets events through.
class GardeFermeture : public QObject {
public:
    explicit GardeFermeture(QWidget& fenetre) : m_fenetre(fenetre) {
        m_fenetre.installEventFilter(this);
    }
    ~GardeFermeture() override { m_fenetre.removeEventFilter(this); }

    bool eventFilter(QObject* objet, QEvent* evenement) override {
        if (objet == &m_fenetre && evenement->type() == QEvent::Close) {
            evenement->ignore();
            return true;
        }
        return false;
    }

private:
    QWidget& m_fenetre;
};

QString avertissement(int nbLignes, int total, const QString& fin) {
    return kSaut + QStringLiteral("Attention %1 clients sur %2 ").arg(nbLignes).arg(total) + fin +
           kSaut + QStringLiteral("dans TRELLINAX PRO.");
}

}  // namespace

QString confirmationClients(int nbLignesListCli, int NbCli, qsizetype nbAmbigus) {
    QString texte = QStringLiteral("Voulez-vous créer le fichier csv ?");
    if (nbLignesListCli > 0) {
        texte += avertissement(nbLignesListCli, NbCli, QStringLiteral("ne seront pas importés."));
    }
    if (nbAmbigus > 0) {
        texte += kSaut + avertissementAmbigus(nbAmbigus, false);
    }
    return texte;
}

QString confirmationTechniques(int nbLignesListCliTech, int NbTech, qsizetype nbAmbigus) {
    QString texte = QStringLiteral("Voulez-vous créer le fichier csv Technique ?");
    if (nbLignesListCliTech > 0) {
        texte +=
            avertissement(nbLignesListCliTech, NbTech, QStringLiteral("ne seront pas importés"));
    }
    if (nbAmbigus > 0) {
        texte += kSaut + avertissementAmbigus(nbAmbigus, true);
    }
    return texte;
}

// The records the importer may misread, counted before the question. What
// stops the counting stops the export too, which says it after the question.
template <class Compte>
qsizetype compterAmbigus(Compte compter) {
    try {
        const commun::Attente attente;
        return compter().size();
    } catch (const platform::Erreur&) {
    }
    return 0;
}

void btnExportClients_Click(commun::Variables& vars, commun::Messages& messages,
                            commun::Cadre& cadre, const QTreeWidget& ListCli) {
    QSet<QString> exclus;
    exclus.reserve(ListCli.topLevelItemCount());
    for (int i = 0; i < ListCli.topLevelItemCount(); ++i) {
        exclus.insert(ListCli.topLevelItem(i)->text(0));
    }
    const qsizetype ambigus = compterAmbigus([&] { return ClientsAmbigus(vars.dossier, exclus); });
    if (!messages.question(confirmationClients(ListCli.topLevelItemCount(), vars.NbCli, ambigus))) {
        return;
    }
    vars.CheminBd = vars.cheminBd();
    SuiviExport observateur(cadre);
    Bilan bilan;
    if (commun::tenter(messages, [&] {
            const commun::Attente attente;
            GardeFermeture garde(*ListCli.window());
            bilan = ExportClients(vars.dossier, exclus, &observateur);
        })) {
        messages.information(messageExportFait(bilan.nbFichiers, false));
    }
    cadre.cacherProgression();
}

void btnExportTech_Click(commun::Variables& vars, commun::Messages& messages,
                         const QTreeWidget& ListCliTech) {
    QSet<qint64> exclus;
    exclus.reserve(ListCliTech.topLevelItemCount());
    for (int i = 0; i < ListCliTech.topLevelItemCount(); ++i) {
        bool ok = false;
        const qint64 numero = ListCliTech.topLevelItem(i)->text(0).trimmed().toLongLong(&ok);
        if (ok) {
            exclus.insert(numero);
        }
    }
    const qsizetype ambigus = compterAmbigus([&] { return FichesAmbigues(vars.dossier, exclus); });
    if (!messages.question(
            confirmationTechniques(ListCliTech.topLevelItemCount(), vars.NbTech, ambigus))) {
        return;
    }
    vars.CheminBd = vars.cheminBd();
    Bilan bilan;
    if (commun::tenter(messages, [&] {
            const commun::Attente attente;
            bilan = ExportTechniques(vars.dossier, exclus);
        })) {
        messages.information(messageExportFait(bilan.nbFichiers, true));
    }
}

}  // namespace exports
