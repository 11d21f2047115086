#include "export/LotFichiers.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QtEndian>
#include <algorithm>
#include <cstring>
#include <map>
#include <vector>

#include "platform/ErreurFichier.h"
#include "platform/Fichiers.h"

namespace exports {

namespace {

// Written to the file in pieces of about this size.
constexpr qsizetype kTampon = 1 << 20;

QString natif(const QString& chemin) {
    return QDir::toNativeSeparators(chemin);
}

// Inside the work folder: the earlier export's files once the swap has begun.
const QString kAnciens = QStringLiteral("anciens");

// One rename of valider(), undone when a later one fails.
struct Deplacement {
    QString de;
    QString vers;
};

}  // namespace

QString ancienFichierExport(const QString& prefixe) {
    return prefixe == QLatin1String("FCLI") ? QStringLiteral("FCLI.csv") : QString();
}

bool estAncienExport(const QString& nom, const QString& prefixe, const QString& ancienFichier) {
    if (!ancienFichier.isEmpty() && platform::pliage(nom) == platform::pliage(ancienFichier)) {
        return true;
    }
    const QString debut = prefixe + u'_';
    const QString fin = QStringLiteral(".txt");
    if (!nom.startsWith(debut) || !nom.endsWith(fin) || nom.size() <= debut.size() + fin.size()) {
        return false;
    }
    for (qsizetype i = debut.size(); i < nom.size() - fin.size(); ++i) {
        if (nom[i] < u'0' || nom[i] > u'9') {
            return false;
        }
    }
    return true;
}

void remplacerRetours(QString& ligne) {
    if (ligne.contains(u'\r')) {
        ligne.replace(QStringLiteral("\r\n"), QStringLiteral("\\n"));
    }
}

void ajouterUtf16le(QByteArray& octets, QStringView texte) {
    const qsizetype debut = octets.size();
    octets.resize(debut + texte.size() * 2);
    char* cible = octets.data() + debut;
    if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
        std::memcpy(cible, texte.utf16(), static_cast<std::size_t>(texte.size()) * 2);
    } else {
        for (qsizetype i = 0; i < texte.size(); ++i) {
            qToLittleEndian<quint16>(texte[i].unicode(), cible + 2 * i);
        }
    }
}

LotFichiers::LotFichiers(const QString& dossier, const QString& prefixe, const QString& entete,
                         ObservateurExport* observateur)
    : m_dossier(dossier),
      m_prefixe(prefixe),
      m_entete(entete),
      m_observateur(observateur),
      m_ancienFichier(ancienFichierExport(prefixe)) {
    m_temporaire = std::make_unique<platform::DossierTravail>(
        dossier, QStringLiteral(".export-%1-XXXXXX").arg(prefixe));
    if (!m_temporaire->valide()) {
        throw platform::ErreurFichier(
            dossier,
            QStringLiteral("Impossible d'écrire les fichiers %1 dans le dossier « %2 » : %3.")
                .arg(prefixe + u'_', natif(dossier), m_temporaire->raison()));
    }
    m_tampon.reserve(kTampon + (kTampon >> 2));
    ouvrir();
}

LotFichiers::~LotFichiers() = default;

QString LotFichiers::nomFichier(int numero) const {
    return QStringLiteral("%1_%2.txt").arg(m_prefixe).arg(numero);
}

QString LotFichiers::cheminFinal(int numero) const {
    return QDir(m_dossier).filePath(nomFichier(numero));
}

void LotFichiers::echecEcriture(int numero) const {
    throw platform::ErreurFichier(cheminFinal(numero),
                                  QStringLiteral("Impossible d'écrire le fichier « %1 » : %2.")
                                      .arg(natif(cheminFinal(numero)), platform::cause(m_fichier)));
}

void LotFichiers::ouvrir() {
    ++m_numero;
    m_lignes = 0;
    m_fichier.setFileName(m_temporaire->chemin(nomFichier(m_numero)));
    if (!m_fichier.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        echecEcriture(m_numero);
    }
    m_tampon.append("\xFF\xFE", 2);
    ajouterUtf16le(m_tampon, m_entete);
    ajouterUtf16le(m_tampon, u"\r\n");
}

void LotFichiers::vider() {
    if (m_tampon.isEmpty()) {
        return;
    }
    if (m_fichier.write(m_tampon) != m_tampon.size()) {
        echecEcriture(m_numero);
    }
    // Keeps the buffer's room for the next piece.
    m_tampon.resize(0);
}

void LotFichiers::fermer() {
    vider();
    if (!m_fichier.flush()) {
        echecEcriture(m_numero);
    }
    m_fichier.close();
    if (m_fichier.error() != QFileDevice::NoError) {
        echecEcriture(m_numero);
    }
}

void LotFichiers::ecrire(QStringView ligne) {
    ajouterUtf16le(m_tampon, ligne);
    ajouterUtf16le(m_tampon, u"\r\n");
    if (m_tampon.size() >= kTampon) {
        vider();
    }
    if (++m_lignes == kLignesParFichier) {
        fermer();
        if (m_observateur) {
            m_observateur->ligne(natif(cheminFinal(m_numero)) + QStringLiteral(" créé"));
        }
        ouvrir();
    }
}

Bilan LotFichiers::valider() {
    fermer();
    const QDir dossier(m_dossier);
    const QDir temporaire(m_temporaire->chemin());
    // Every new file is whole: once "anciens" exists, a start after a kill
    // completes the swap rather than drops it.
    platform::etapeBascule();
    if (!temporaire.mkdir(kAnciens)) {
        throw platform::ErreurFichier(m_temporaire->chemin(),
                                      QStringLiteral("Impossible de créer le dossier « %1 ».")
                                          .arg(natif(temporaire.filePath(kAnciens))));
    }

    std::vector<Deplacement> faits;
    const auto deplacer = [&faits](const QString& de, const QString& vers) {
        platform::etapeBascule();
        if (!QFile::rename(de, vers)) {
            return false;
        }
        faits.push_back({de, vers});
        return true;
    };
    const auto annuler = [&]() {
        bool complet = true;
        for (auto it = faits.rbegin(); it != faits.rend(); ++it) {
            complet = QFile::rename(it->vers, it->de) && complet;
        }
        // Back to a swap not begun, which a later start would drop.
        return complet && temporaire.rmdir(kAnciens);
    };
    const auto echouer = [&](const QString& chemin, const QString& raison) {
        if (annuler()) {
            throw platform::ErreurFichier(
                chemin, QStringLiteral("Impossible d'écrire le fichier « %1 » : %2.")
                            .arg(natif(chemin), raison));
        }
        // Whatever could not be moved back stays in the work folder, not deleted.
        m_temporaire->garder();
        throw ErreurRemiseEnEtat(
            chemin,
            QStringLiteral("Impossible d'écrire le fichier « %1 » : %2. Le dossier n'a pas pu "
                           "être remis en l'état : les fichiers d'export précédents sont "
                           "dans « %3 ».")
                .arg(natif(chemin), raison, natif(m_temporaire->chemin())));
    };

    // The earlier export goes aside first, so that no new name meets an old
    // file; the new files follow in their order (reprendreExports relies on both).
    const QStringList entrees = dossier.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& nom : entrees) {
        if (estAncienExport(nom, m_prefixe, m_ancienFichier) &&
            !deplacer(dossier.filePath(nom), temporaire.filePath(kAnciens + u'/' + nom))) {
            echouer(dossier.filePath(nom),
                    QStringLiteral("l'ancien fichier ne peut pas être remplacé"));
        }
    }
    Bilan bilan;
    for (int n = 1; n <= m_numero; ++n) {
        const QString final = cheminFinal(n);
        const QFileInfo present(final);
        if (present.exists() || present.isSymLink()) {
            echouer(final, present.isDir() ? QStringLiteral("un dossier porte ce nom")
                                           : QStringLiteral("un fichier de ce nom est déjà là"));
        }
        if (!deplacer(temporaire.filePath(nomFichier(n)), final)) {
            echouer(final, QStringLiteral("le fichier ne peut pas être créé dans le dossier"));
        }
        bilan.fichiers << final;
    }
    bilan.nbFichiers = m_numero;
    return bilan;
}

QStringList reprendreExports(const QString& dossier) {
    static const QRegularExpression motif(QStringLiteral("^\\.export-(FCLI|FTEC)-[A-Za-z0-9]{6}$"));
    QStringList lignes;
    // Only our own files: the new export's, and the earlier one's set aside.
    const auto connu = [](const QRegularExpressionMatch& m, const QFileInfo& e) {
        const QString prefixe = m.captured(1);
        if (e.isFile()) {
            return estAncienExport(e.fileName(), prefixe, {});
        }
        if (!e.isDir() || e.fileName() != kAnciens) {
            return false;
        }
        const QStringList anciens =
            QDir(e.filePath()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        return std::all_of(anciens.begin(), anciens.end(), [&](const QString& nom) {
            return estAncienExport(nom, prefixe, ancienFichierExport(prefixe));
        });
    };
    for (platform::TravailAbandonne& t : platform::travauxAbandonnes(dossier, motif, connu)) {
        const QString prefixe = t.nom.captured(1);
        const QString ancien = ancienFichierExport(prefixe);
        const QString quoi = prefixe == QLatin1String("FCLI")
                                 ? QStringLiteral("des clients")
                                 : QStringLiteral("des fiches techniques");
        const QDir travail(t.chemin);
        std::map<int, QString> nouveaux;
        for (const QString& nom : travail.entryList(QDir::Files | QDir::Hidden)) {
            if (estAncienExport(nom, prefixe, {})) {
                nouveaux[nom.mid(prefixe.size() + 1).chopped(4).toInt()] = nom;
            }
        }
        if (!travail.exists(kAnciens)) {
            if (!nouveaux.empty()) {
                lignes << QStringLiteral(
                              "Un export %1 avait été interrompu avant d'être mis en place : il a "
                              "été abandonné, les fichiers d'export précédents sont restés tels "
                              "qu'ils étaient.")
                              .arg(quoi);
            }
            t.supprimer();
            continue;
        }
        // The swap had begun. While the first new file is still here, none has
        // been put in place: every export file of the folder is an earlier one.
        const QDir d(dossier);
        QString echec;
        if (nouveaux.count(1)) {
            for (const QString& nom : d.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
                if (estAncienExport(nom, prefixe, ancien) &&
                    !QFile::rename(d.filePath(nom), travail.filePath(kAnciens + u'/' + nom))) {
                    echec = nom;
                }
            }
        }
        for (const auto& [numero, nom] : nouveaux) {
            if (echec.isEmpty() && !QFile::rename(travail.filePath(nom), d.filePath(nom))) {
                echec = nom;
            }
        }
        if (!echec.isEmpty()) {
            lignes << QStringLiteral(
                          "Un export %1 interrompu pendant sa mise en place n'a pas pu être "
                          "terminé (« %2 » ne peut pas être déplacé) : ses fichiers sont dans "
                          "« %3 ».")
                          .arg(quoi, echec, natif(t.chemin));
            continue;
        }
        t.supprimer();
        lignes << QStringLiteral(
                      "Un export %1 avait été interrompu pendant sa mise en place : elle a été "
                      "terminée, le dossier contient le nouvel export.")
                      .arg(quoi);
    }
    return lignes;
}

}  // namespace exports
