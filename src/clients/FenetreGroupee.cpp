#include "clients/FenetreGroupee.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QTreeWidget>

#include "commun/Controles.h"
#include "commun/Messages.h"
#include "commun/Variables.h"
#include "store/Erreur.h"
#include "ui_FenetreGroupee.h"

namespace clients {

namespace {

constexpr int kRoleIndex = Qt::UserRole;
constexpr int kRoleSuggestions = Qt::UserRole + 1;
constexpr int kColonneRemplacement = 3;

// The replacement cell is edited in a combo box that lists the value's
// suggestions and takes a typed value too; it opens on the best suggestion.
class EditeurRemplacement : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override {
        if (index.column() != kColonneRemplacement) {
            return nullptr;
        }
        auto* choix = new QComboBox(parent);
        choix->setEditable(true);
        choix->setInsertPolicy(QComboBox::NoInsert);
        choix->addItems(index.data(kRoleSuggestions).toStringList());
        return choix;
    }
    void setEditorData(QWidget* editeur, const QModelIndex& index) const override {
        auto* choix = static_cast<QComboBox*>(editeur);
        const QString texte = index.data(Qt::EditRole).toString();
        if (texte.isEmpty() && choix->count() > 0) {
            choix->setCurrentIndex(0);
        } else {
            choix->setCurrentIndex(choix->findText(texte));
            choix->setEditText(texte);
        }
    }
    void setModelData(QWidget* editeur, QAbstractItemModel* modele,
                      const QModelIndex& index) const override {
        modele->setData(index, static_cast<QComboBox*>(editeur)->currentText().trimmed(),
                        Qt::EditRole);
    }
};

}  // namespace

FenetreGroupee::FenetreGroupee(commun::Variables& variables, commun::Messages& messages,
                               std::vector<ValeurFautive> valeurs,
                               std::function<void(const BilanGroupe&)> apresApplication,
                               QWidget* parent)
    : QDialog(parent),
      m_vars(variables),
      m_messages(messages),
      m_ui(std::make_unique<Ui::FenetreGroupee>()),
      m_valeurs(std::move(valeurs)),
      m_apres(std::move(apresApplication)),
      m_juge(std::make_unique<Juge>(variables.cnCommunes)) {
    m_ui->setupUi(this);
    QTreeWidget* liste = m_ui->ListValeurs;
    liste->setItemDelegate(new EditeurRemplacement(liste));
    liste->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::SelectedClicked);
    remplir();
    connect(liste, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* ligne, int colonne) {
        if (colonne == kRemplacement) {
            verifierLigne(ligne);
            majChoix();
        }
    });
    connect(m_ui->btnAppliquer, &QPushButton::clicked, this, &FenetreGroupee::btnAppliquer_Click);
    connect(m_ui->btnFermer, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_ui->btnPrendreSuggestion, &QPushButton::clicked, this,
            &FenetreGroupee::btnPrendreSuggestion_Click);
    connect(m_ui->btnToutesSuggestions, &QPushButton::clicked, this,
            &FenetreGroupee::btnToutesSuggestions_Click);
    connect(m_ui->btnNePasChanger, &QPushButton::clicked, this,
            &FenetreGroupee::btnNePasChanger_Click);
    connect(m_ui->cboChamp, &QComboBox::currentIndexChanged, this,
            &FenetreGroupee::cboChamp_Change);
}

FenetreGroupee::~FenetreGroupee() = default;

const ValeurFautive& FenetreGroupee::valeur(const QTreeWidgetItem* ligne) const {
    return m_valeurs[static_cast<std::size_t>(ligne->data(kChamp, kRoleIndex).toInt())];
}

void FenetreGroupee::remplir() {
    QTreeWidget* liste = m_ui->ListValeurs;
    QList<QTreeWidgetItem*> lignes;
    lignes.reserve(static_cast<qsizetype>(m_valeurs.size()));
    for (std::size_t i = 0; i < m_valeurs.size(); ++i) {
        const ValeurFautive& v = m_valeurs[i];
        auto* ligne = new QTreeWidgetItem(
            QStringList{colonnesJugees()[v.drapeau], texteAffiche(v.texte),
                        QString::number(v.nombre), QString(),
                        v.suggestions.isEmpty() ? QStringLiteral("—")
                                                : v.suggestions.join(QStringLiteral(", "))});
        ligne->setFlags(ligne->flags() | Qt::ItemIsEditable);
        ligne->setData(kChamp, kRoleIndex, static_cast<int>(i));
        ligne->setData(kRemplacement, kRoleSuggestions, v.suggestions);
        ligne->setTextAlignment(kNombre, Qt::AlignRight | Qt::AlignVCenter);
        if (v.texte.isEmpty()) {
            QFont italique = ligne->font(kValeur);
            italique.setItalic(true);
            ligne->setFont(kValeur, italique);
            ligne->setForeground(kValeur, Qt::darkGray);
        }
        // The value as stored, blanks included, shows on hovering.
        ligne->setToolTip(kValeur, QStringLiteral("« %1 »").arg(v.texte));
        if (!v.suggestions.isEmpty()) {
            ligne->setToolTip(kSuggestions, v.suggestions.join(u'\n'));
        }
        lignes << ligne;
    }
    liste->addTopLevelItems(lignes);
    QHeaderView* entete = liste->header();
    entete->setStretchLastSection(true);
    liste->setColumnWidth(kChamp, 100);
    liste->setColumnWidth(kValeur, 250);
    liste->setColumnWidth(kNombre, 60);
    liste->setColumnWidth(kRemplacement, 250);
    liste->headerItem()->setTextAlignment(kNombre, Qt::AlignRight | Qt::AlignVCenter);
    if (!lignes.isEmpty()) {
        liste->setCurrentItem(lignes.first());
    }
    remplirChamps();
    majChoix();
}

void FenetreGroupee::remplirChamps() {
    QTreeWidget* liste = m_ui->ListValeurs;
    std::array<int, kNbDrapeaux> parChamp{};
    for (int i = 0; i < liste->topLevelItemCount(); ++i) {
        ++parChamp[static_cast<std::size_t>(valeur(liste->topLevelItem(i)).drapeau)];
    }
    QComboBox* champs = m_ui->cboChamp;
    const int choisi = champs->currentData().isValid() ? champs->currentData().toInt() : -1;
    const QSignalBlocker bloque(champs);
    champs->clear();
    champs->addItem(QStringLiteral("Tous les champs (%1 valeurs)").arg(liste->topLevelItemCount()),
                    -1);
    for (int d = 0; d < kNbDrapeaux; ++d) {
        if (parChamp[static_cast<std::size_t>(d)] > 0) {
            champs->addItem(QStringLiteral("%1 (%2 valeurs)")
                                .arg(colonnesJugees()[d])
                                .arg(parChamp[static_cast<std::size_t>(d)]),
                            d);
        }
    }
    champs->setCurrentIndex(qMax(0, champs->findData(choisi)));
}

void FenetreGroupee::cboChamp_Change() {
    const int champ = m_ui->cboChamp->currentData().toInt();
    QTreeWidget* liste = m_ui->ListValeurs;
    for (int i = 0; i < liste->topLevelItemCount(); ++i) {
        QTreeWidgetItem* ligne = liste->topLevelItem(i);
        ligne->setHidden(champ >= 0 && valeur(ligne).drapeau != champ);
    }
}

void FenetreGroupee::verifierLigne(QTreeWidgetItem* ligne) {
    const QSignalBlocker bloque(m_ui->ListValeurs);
    const ValeurFautive& v = valeur(ligne);
    const QString texte = ligne->text(kRemplacement);
    QFont police = ligne->font(kRemplacement);
    police.setBold(!texte.isEmpty());
    ligne->setFont(kRemplacement, police);
    if (texte.isEmpty()) {
        ligne->setBackground(kRemplacement, QBrush());
        ligne->setForeground(kRemplacement, QBrush());
        ligne->setToolTip(kRemplacement, QString());
        return;
    }
    const QString refus = refusRemplacement(v.drapeau, texte, *m_juge);
    if (refus.isEmpty()) {
        ligne->setText(kRemplacement, texteRemplacement(v.drapeau, texte));
        ligne->setBackground(kRemplacement, QColor(210, 245, 210));
        ligne->setForeground(kRemplacement, QBrush());
        ligne->setToolTip(kRemplacement, QStringLiteral("%1 client(s) recevront « %2 ».")
                                             .arg(v.nombre)
                                             .arg(ligne->text(kRemplacement)));
    } else {
        // The panel's colours of a field in error: white on red.
        ligne->setBackground(kRemplacement, QColor(255, 0, 0));
        ligne->setForeground(kRemplacement, QColor(255, 255, 255));
        ligne->setToolTip(kRemplacement, refus);
    }
}

void FenetreGroupee::majChoix() {
    QTreeWidget* liste = m_ui->ListValeurs;
    int nbValeurs = 0;
    int nbClients = 0;
    for (int i = 0; i < liste->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* ligne = liste->topLevelItem(i);
        if (!ligne->text(kRemplacement).isEmpty()) {
            ++nbValeurs;
            nbClients += valeur(ligne).nombre;
        }
    }
    m_ui->lblChoix->setText(
        nbValeurs == 0
            ? QStringLiteral("Aucune correction choisie.")
            : QStringLiteral(
                  "%1 correction(s) choisie(s) : %2 modification(s) dans le fichier clients.")
                  .arg(nbValeurs)
                  .arg(nbClients));
    m_ui->btnAppliquer->setEnabled(nbValeurs > 0);
}

void FenetreGroupee::remplacer(const QList<QTreeWidgetItem*>& lignes, bool suggestion) {
    {
        // Thousands of rows at once: each is judged, the count made once.
        const QSignalBlocker bloque(m_ui->ListValeurs);
        for (QTreeWidgetItem* ligne : lignes) {
            const ValeurFautive& v = valeur(ligne);
            if (!suggestion) {
                ligne->setText(kRemplacement, QString());
            } else if (!v.suggestions.isEmpty()) {
                ligne->setText(kRemplacement, v.suggestions.first());
            } else {
                continue;
            }
            verifierLigne(ligne);
        }
    }
    majChoix();
}

void FenetreGroupee::btnPrendreSuggestion_Click() {
    QList<QTreeWidgetItem*> lignes = m_ui->ListValeurs->selectedItems();
    lignes.removeIf([](const QTreeWidgetItem* l) { return l->isHidden(); });
    remplacer(lignes, true);
}

void FenetreGroupee::btnToutesSuggestions_Click() {
    QTreeWidget* liste = m_ui->ListValeurs;
    QList<QTreeWidgetItem*> lignes;
    for (int i = 0; i < liste->topLevelItemCount(); ++i) {
        QTreeWidgetItem* ligne = liste->topLevelItem(i);
        // A replacement already chosen stays.
        if (!ligne->isHidden() && ligne->text(kRemplacement).isEmpty()) {
            lignes << ligne;
        }
    }
    remplacer(lignes, true);
}

void FenetreGroupee::btnNePasChanger_Click() {
    remplacer(m_ui->ListValeurs->selectedItems(), false);
}

void FenetreGroupee::btnAppliquer_Click() {
    commun::Messages& messages = m_messages;
    QTreeWidget* liste = m_ui->ListValeurs;
    std::vector<Remplacement> remplacements;
    QList<QTreeWidgetItem*> lignes;
    QStringList refus;
    int nbClients = 0;
    for (int i = 0; i < liste->topLevelItemCount(); ++i) {
        QTreeWidgetItem* ligne = liste->topLevelItem(i);
        const QString texte = ligne->text(kRemplacement);
        if (texte.isEmpty()) {
            continue;
        }
        const ValeurFautive& v = valeur(ligne);
        if (const QString r = refusRemplacement(v.drapeau, texte, *m_juge); !r.isEmpty()) {
            refus << r;
        }
        remplacements.push_back({v.drapeau, v.valeur, texte});
        lignes << ligne;
        nbClients += v.nombre;
    }
    if (remplacements.empty()) {
        messages.information(QStringLiteral(
            "Aucune correction choisie : remplissez la colonne « Remplacer par » des valeurs à "
            "corriger."));
        return;
    }
    if (!refus.isEmpty()) {
        constexpr int kMax = 10;
        QString texte = QStringLiteral(
                            "Rien n'a été enregistré : ces corrections ne passent pas "
                            "les règles (cases en rouge).\r\n%1")
                            .arg(refus.mid(0, kMax).join(QStringLiteral("\r\n")));
        if (refus.size() > kMax) {
            texte += QStringLiteral("\r\n… et %1 autre(s).").arg(refus.size() - kMax);
        }
        messages.exclamation(texte);
        return;
    }
    // A client holding two of the values counts twice: these are changes.
    if (!messages.question(QStringLiteral("Remplacer %1 valeur(s) en erreur ? Cela fait %2 "
                                          "modification(s) dans le fichier clients.")
                               .arg(remplacements.size())
                               .arg(nbClients))) {
        return;
    }
    BilanGroupe bilan;
    if (!commun::tenter(
            messages,
            [&] {
                const commun::Attente attente;
                bilan = AppliquerGroupe(m_vars, remplacements);
            },
            QStringLiteral(
                "La correction groupée n'a pas été enregistrée, rien n'a changé.\r\n"))) {
        return;
    }
    // Those values are gone from the file.
    qDeleteAll(lignes);
    remplirChamps();
    cboChamp_Change();
    majChoix();
    messages.information(messageBilan(bilan));
    if (m_apres) {
        m_apres(bilan);
    }
}

}  // namespace clients
