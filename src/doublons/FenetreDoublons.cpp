#include "doublons/FenetreDoublons.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "commun/Controles.h"
#include "commun/Messages.h"
#include "doublons/Fusion.h"
#include "doublons/PasDoublon.h"
#include "platform/ErreurFichier.h"
#include "platform/Locale.h"
#include "store/Dates.h"
#include "store/Erreur.h"

namespace doublons {

namespace {

constexpr int kRoleGroupe = Qt::UserRole;
// The rows above the fields: what hangs on each member.
constexpr int kLignesInfo = 3;
const QColor kEcart(255, 224, 178);  // a field whose values differ
const QColor kPris(200, 236, 200);   // the value the kept client will have

// The code and the row's number stay the kept client's own.
bool fixe(const QString& colonne) {
    return colonne.compare(QLatin1String("Code"), Qt::CaseInsensitive) == 0 ||
           colonne.compare(QStringLiteral("Numéro"), Qt::CaseInsensitive) == 0;
}

}  // namespace

FenetreDoublons::FenetreDoublons(const QString& dossier, commun::Messages& messages,
                                 QWidget* parent)
    : QDialog(parent), m_dossier(dossier), m_messages(messages) {
    setWindowTitle(QStringLiteral("Doublons"));
    setObjectName(QStringLiteral("FenetreDoublons"));
    resize(1100, 640);

    m_bilan = new QLabel(this);
    m_bilan->setObjectName(QStringLiteral("lblBilan"));

    m_groupes = new QTreeWidget(this);
    m_groupes->setObjectName(QStringLiteral("ListGroupes"));
    m_groupes->setHeaderLabels(
        {QStringLiteral("Score"), QStringLiteral("Clients"), QStringLiteral("Champs en accord")});
    m_groupes->setRootIsDecorated(false);
    m_groupes->setAllColumnsShowFocus(true);
    m_groupes->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_groupes->setColumnWidth(1, 260);

    m_membres = new QTableWidget(this);
    m_membres->setObjectName(QStringLiteral("TableMembres"));
    m_membres->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_membres->setSelectionMode(QAbstractItemView::SingleSelection);
    m_membres->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_membres->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_membres->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    m_membres->setToolTip(QStringLiteral(
        "Cliquez sur une valeur (ou Entrée) pour la donner au client gardé ; cliquez sur "
        "l'en-tête d'une colonne pour garder ce client."));

    m_cboGarde = new QComboBox(this);
    m_cboGarde->setObjectName(QStringLiteral("cboGarde"));
    auto* lblGarde = new QLabel(QStringLiteral("Client &gardé :"), this);
    lblGarde->setBuddy(m_cboGarde);

    m_btnFusionner = new QPushButton(QStringLiteral("&Fusionner"), this);
    m_btnFusionner->setObjectName(QStringLiteral("btnFusionner"));
    m_btnPasDoublon = new QPushButton(QStringLiteral("&Pas un doublon"), this);
    m_btnPasDoublon->setObjectName(QStringLiteral("btnPasDoublon"));
    auto* btnFermer = new QPushButton(QStringLiteral("Fermer"), this);
    btnFermer->setObjectName(QStringLiteral("btnFermer"));
    // Enter takes a value in the table: it never merges by itself.
    for (QPushButton* b : {m_btnFusionner, m_btnPasDoublon, btnFermer}) {
        b->setAutoDefault(false);
    }

    auto* droite = new QWidget(this);
    auto* colonne = new QVBoxLayout(droite);
    colonne->setContentsMargins(0, 0, 0, 0);
    auto* ligneGarde = new QHBoxLayout;
    ligneGarde->addWidget(lblGarde);
    ligneGarde->addWidget(m_cboGarde, 1);
    colonne->addLayout(ligneGarde);
    colonne->addWidget(m_membres, 1);

    auto* partage = new QSplitter(this);
    partage->addWidget(m_groupes);
    partage->addWidget(droite);
    partage->setStretchFactor(1, 2);
    partage->setSizes({420, 680});

    auto* boutons = new QHBoxLayout;
    boutons->addStretch(1);
    boutons->addWidget(m_btnFusionner);
    boutons->addWidget(m_btnPasDoublon);
    boutons->addWidget(btnFermer);

    auto* tout = new QVBoxLayout(this);
    tout->addWidget(m_bilan);
    tout->addWidget(partage, 1);
    tout->addLayout(boutons);
    setTabOrder(m_groupes, m_cboGarde);
    setTabOrder(m_cboGarde, m_membres);
    setTabOrder(m_membres, m_btnFusionner);
    setTabOrder(m_btnFusionner, m_btnPasDoublon);
    setTabOrder(m_btnPasDoublon, btnFermer);

    commun::suivreSelection(m_groupes, [this] { chargerGroupe(); });
    connect(m_cboGarde, &QComboBox::activated, this, [this](int k) { choisirGarde(k); });
    connect(m_membres->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int k) { choisirGarde(k); });
    connect(m_membres, &QTableWidget::cellClicked, this, &FenetreDoublons::prendre);
    connect(m_membres, &QTableWidget::cellActivated, this, &FenetreDoublons::prendre);
    connect(m_btnFusionner, &QPushButton::clicked, this, &FenetreDoublons::btnFusionner_Click);
    connect(m_btnPasDoublon, &QPushButton::clicked, this, &FenetreDoublons::btnPasDoublon_Click);
    connect(btnFermer, &QPushButton::clicked, this, &QDialog::accept);
    chargerGroupe();
}

FenetreDoublons::~FenetreDoublons() = default;

void FenetreDoublons::chercher() {
    m_bilan->setText(QStringLiteral("Recherche des doublons…"));
    m_bilan->repaint();
    if (!commun::tenter(m_messages, [&] {
            const commun::Attente attente;
            m_resultat = chercherDoublons(m_dossier);
        })) {
        m_resultat = {};
    }
    m_bilan->setText(legendeDoublons(m_resultat));
    const QSignalBlocker bloque(m_groupes);
    m_groupes->clear();
    QList<QTreeWidgetItem*> lignes;
    for (std::size_t g = 0; g < m_resultat.groupes.size(); ++g) {
        const Groupe& groupe = m_resultat.groupes[g];
        QStringList noms;
        for (const int m : groupe.membres) {
            const Client& c = m_resultat.clients[static_cast<std::size_t>(m)];
            noms << (c.code + u' ' + c.nom).trimmed();
        }
        auto* ligne = new QTreeWidgetItem(
            QStringList{QString::number(groupe.score), noms.join(QStringLiteral(" / ")),
                        groupe.paires.front().champsEnAccord().join(QStringLiteral(", "))});
        ligne->setData(0, kRoleGroupe, static_cast<int>(g));
        ligne->setTextAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
        lignes << ligne;
    }
    m_groupes->addTopLevelItems(lignes);
    if (!lignes.isEmpty()) {
        m_groupes->setCurrentItem(lignes.front());
    }
    m_groupes->setFocus();
    chargerGroupe();
}

const Groupe* FenetreDoublons::groupeCourant() const {
    const QTreeWidgetItem* ligne = commun::ligneSelectionnee(m_groupes);
    if (!ligne) {
        return nullptr;
    }
    return &m_resultat.groupes[static_cast<std::size_t>(ligne->data(0, kRoleGroupe).toInt())];
}

void FenetreDoublons::chargerGroupe() {
    m_detail = {};
    m_garde = -1;
    if (const Groupe* g = groupeCourant()) {
        commun::tenter(m_messages, [&] {
            m_detail = lireGroupe(m_dossier, m_resultat, *g);
            m_garde = m_detail.aGarder();
        });
    }
    m_choix.assign(static_cast<std::size_t>(m_detail.colonnes.size()), m_garde);
    {
        const QSignalBlocker bloque(m_cboGarde);
        m_cboGarde->clear();
        for (const Membre& m : m_detail.membres) {
            m_cboGarde->addItem(m.code);
        }
        m_cboGarde->setCurrentIndex(m_garde);
    }
    const bool groupe = !m_detail.membres.empty();
    m_btnFusionner->setEnabled(groupe);
    m_btnPasDoublon->setEnabled(groupe);
    m_cboGarde->setEnabled(groupe);
    afficherMembres();
}

void FenetreDoublons::choisirGarde(int membre) {
    if (membre < 0 || membre >= static_cast<int>(m_detail.membres.size())) {
        return;
    }
    m_garde = membre;
    m_choix.assign(m_choix.size(), membre);
    const QSignalBlocker bloque(m_cboGarde);
    m_cboGarde->setCurrentIndex(membre);
    afficherMembres();
}

void FenetreDoublons::prendre(int ligne, int membre) {
    const int colonne = ligne - kLignesInfo;
    if (colonne < 0 || colonne >= static_cast<int>(m_choix.size()) || membre < 0 ||
        membre >= static_cast<int>(m_detail.membres.size()) || fixe(m_detail.colonnes[colonne])) {
        return;
    }
    m_choix[static_cast<std::size_t>(colonne)] = membre;
    afficherMembres();
    m_membres->setCurrentCell(ligne, membre);
}

void FenetreDoublons::afficherMembres() {
    const auto& membres = m_detail.membres;
    const int nb = static_cast<int>(membres.size());
    const QLocale locale = platform::localeTravail();
    m_membres->clear();
    m_membres->setColumnCount(nb);
    m_membres->setRowCount(nb == 0 ? 0 : kLignesInfo + static_cast<int>(m_detail.colonnes.size()));
    if (nb == 0) {
        return;
    }
    QStringList entetes;
    for (int k = 0; k < nb; ++k) {
        entetes << (k == m_garde ? QStringLiteral("%1 (gardé)").arg(membres[k].code)
                                 : membres[static_cast<std::size_t>(k)].code);
    }
    m_membres->setHorizontalHeaderLabels(entetes);
    QStringList lignes{QStringLiteral("Fiches"), QStringLiteral("Visites"),
                       QStringLiteral("Dernière visite")};
    lignes << m_detail.colonnes;
    m_membres->setVerticalHeaderLabels(lignes);
    const auto cellule = [this](int l, int k, const QString& texte) {
        auto* c = new QTableWidgetItem(texte);
        m_membres->setItem(l, k, c);
        return c;
    };
    for (int k = 0; k < nb; ++k) {
        const Membre& m = membres[static_cast<std::size_t>(k)];
        cellule(0, k, QString::number(m.nbFiches));
        cellule(1, k, QString::number(m.nbVisites));
        cellule(2, k,
                m.derniereVisite ? store::dates::texteLocal(*m.derniereVisite, locale) : QString());
    }
    for (int c = 0; c < m_detail.colonnes.size(); ++c) {
        const auto& premiere = membres.front().valeurs[static_cast<std::size_t>(c)];
        const bool ecart = std::any_of(membres.begin(), membres.end(), [&](const Membre& m) {
            return !(m.valeurs[static_cast<std::size_t>(c)] == premiere);
        });
        for (int k = 0; k < nb; ++k) {
            const auto& v =
                membres[static_cast<std::size_t>(k)].valeurs[static_cast<std::size_t>(c)];
            QTableWidgetItem* it = cellule(kLignesInfo + c, k, v.texte(locale));
            const bool pris = m_choix[static_cast<std::size_t>(c)] == k;
            if (pris && ecart) {
                it->setBackground(kPris);
                QFont f = it->font();
                f.setBold(true);
                it->setFont(f);
            } else if (ecart) {
                it->setBackground(kEcart);
            }
        }
    }
}

void FenetreDoublons::btnFusionner_Click() {
    if (m_detail.membres.size() < 2 || m_garde < 0) {
        return;
    }
    const Membre& garde = m_detail.membres[static_cast<std::size_t>(m_garde)];
    if (!m_messages.question(
            QStringLiteral("Fusionner ces %1 clients sous le code %2 ? Leurs fiches et leurs "
                           "visites iront au client gardé et les autres clients seront "
                           "supprimés (« Annuler la dernière correction » défait la fusion).")
                .arg(m_detail.membres.size())
                .arg(garde.code))) {
        return;
    }
    DemandeFusion demande;
    demande.garde = garde.rowid;
    for (int k = 0; k < static_cast<int>(m_detail.membres.size()); ++k) {
        if (k != m_garde) {
            demande.autres.push_back(m_detail.membres[static_cast<std::size_t>(k)].rowid);
        }
    }
    for (std::size_t c = 0; c < m_choix.size(); ++c) {
        if (m_choix[c] != m_garde) {
            demande.sources[m_detail.colonnes[static_cast<qsizetype>(c)]] =
                m_detail.membres[static_cast<std::size_t>(m_choix[c])].rowid;
        }
    }
    BilanFusion bilan;
    if (!commun::tenter(m_messages, [&] {
            const commun::Attente attente;
            bilan = fusionner(m_dossier, demande);
        })) {
        return;
    }
    m_codesPartis << bilan.codesFusionnes;
    m_rowidsGardes.push_back(demande.garde);
    QString texte = messageFusion(bilan);
    if (!bilan.notesLaissees.isEmpty()) {
        texte += QStringLiteral("\r\nNotes laissées en place : %1")
                     .arg(bilan.notesLaissees.join(QStringLiteral(", ")));
    }
    m_messages.information(texte);
    retirerGroupe();
}

void FenetreDoublons::btnPasDoublon_Click() {
    if (m_detail.membres.empty()) {
        return;
    }
    QStringList codes;
    for (const Membre& m : m_detail.membres) {
        codes << m.code;
    }
    if (!commun::tenter(m_messages, [&] { noterPasDoublon(m_dossier, codes); })) {
        return;
    }
    retirerGroupe();
}

void FenetreDoublons::retirerGroupe() {
    QTreeWidgetItem* ligne = commun::ligneSelectionnee(m_groupes);
    if (!ligne) {
        return;
    }
    const int index = m_groupes->indexOfTopLevelItem(ligne);
    {
        const QSignalBlocker bloque(m_groupes);
        delete m_groupes->takeTopLevelItem(index);
        const int reste = m_groupes->topLevelItemCount();
        if (reste > 0) {
            m_groupes->setCurrentItem(m_groupes->topLevelItem(std::min(index, reste - 1)));
        }
    }
    m_bilan->setText(QStringLiteral("%1 — %2 groupe(s) restant(s)")
                         .arg(legendeDoublons(m_resultat))
                         .arg(m_groupes->topLevelItemCount()));
    chargerGroupe();
}

}  // namespace doublons
