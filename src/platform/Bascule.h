#pragma once

#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>
#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <vector>

namespace platform {

// A change that spans several files of the application folder (the export's
// files, a converted database) is prepared in a hidden work folder inside it,
// so that the folder's own files change only by renames, and a start of the
// program after a kill finds what was left and completes or drops it.

// A new work folder, named after `modele` (".export-FCLI-XXXXXX"), locked by
// this process for as long as it lives; removed with everything in it unless
// kept.
class DossierTravail {
public:
    DossierTravail(const QString& dossier, const QString& modele);
    ~DossierTravail();
    DossierTravail(const DossierTravail&) = delete;
    DossierTravail& operator=(const DossierTravail&) = delete;

    // False when the folder could not be made; raison() then says why, in French.
    bool valide() const { return m_dir.isValid(); }
    QString raison() const;
    QString chemin() const { return m_dir.path(); }
    QString chemin(const QString& nom) const { return m_dir.filePath(nom); }
    // Leaves the folder where it is, for a later start to deal with.
    void garder() { m_dir.setAutoRemove(false); }

private:
    QString m_dossier;
    QTemporaryDir m_dir;
    std::unique_ptr<QLockFile> m_verrou;
};

// A work folder whose process has stopped, locked now by this one.
struct TravailAbandonne {
    QString chemin;
    QRegularExpressionMatch nom;  // the name matched against the pattern
    std::unique_ptr<QLockFile> verrou;
    // Unlocks and deletes the folder; false when something stayed.
    bool supprimer();
};

// The work folders of `dossier` whose names match `motif`, every entry of
// which (the lock aside) is `connu`, and whose process has stopped. A running
// export or conversion in another window is left alone, and so is a folder of
// the user's that happens to have such a name.
std::vector<TravailAbandonne> travauxAbandonnes(
    const QString& dossier, const QRegularExpression& motif,
    const std::function<bool(const QRegularExpressionMatch&, const QFileInfo&)>& connu);

// One step of such a change (a rename). Tests set VERIFCLIENTS_ARRET=N in the
// environment to have the process killed at its Nth step, as a kill or a power
// cut would stop it.
void etapeBascule();

}  // namespace platform
