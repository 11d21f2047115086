#include "communes/Form2.h"

#include <QListWidget>
#include <QScreen>

#include "commun/Communes.h"
#include "commun/Controles.h"
#include "commun/FiltreChiffres.h"
#include "commun/Messages.h"
#include "commun/Variables.h"
#include "communes/FichierDefaut.h"
#include "store/Erreur.h"
#include "ui_Form2.h"

namespace communes {

namespace {
QString legendeVilles(int nombre) {
    return QStringLiteral("Villes   ( %1 )").arg(nombre);
}
}  // namespace

Form2::Form2(commun::Variables& variables, commun::Messages& messages, QWidget* parent)
    : QWidget(parent),
      m_ui(std::make_unique<Ui::Form2>()),
      m_vars(variables),
      m_messages(messages) {
    m_ui->setupUi(this);
    setFixedSize(size());
    commun::installerFiltre(m_ui->txtCp, &commun::FiltreChiffres);
    connect(m_ui->txtCp, &QLineEdit::textChanged, this, &Form2::txtCp_Change);
    connect(m_ui->TxtVille, &QLineEdit::textChanged, this, &Form2::TestCpVille);
    // A town picked with the mouse, the arrow keys or by typing its first letters.
    commun::suivreSelection(m_ui->List1, [this] { List1_Click(); });
    connect(m_ui->BtnFermer, &QPushButton::clicked, this, &Form2::BtnFermer_Click);
}

Form2::~Form2() = default;

void Form2::Form2_Load() {
    const LectureDefaut lu = lireDefaut(m_vars.dossier);
    QString explication = QStringLiteral(
        "Pour pouvoir continuer vous devez impérativement choisir une ville et son "
        "code postal par défaut.\r\n"
        "Cette information sera utilisée pour compléter automatique le manque de "
        "code postal et ou de ville \r\n"
        "dans votre fichier client si vous choisissez de ne pas le corriger.");
    if (lu.etat == LectureDefaut::Etat::Lu) {
        const QString raison = raisonRefus({lu.valeurs.ville, lu.valeurs.codePostal});
        if (raison.isEmpty()) {
            m_silencieux = true;
            m_ui->TxtVille->setText(lu.valeurs.ville);
            m_ui->txtCp->setText(lu.valeurs.codePostal);
            BtnFermer_Click();
            return;
        }
        m_remplacer = true;
        explication = QStringLiteral(
                          "Le fichier default.txt ne donne pas une ville par défaut : "
                          "%1.\r\nChoisissez la ville et son code postal par défaut : "
                          "le fichier sera remplacé par ce choix.")
                          .arg(raison);
    } else if (lu.etat == LectureDefaut::Etat::Illisible) {
        m_causeFichier = lu.cause;
        explication = QStringLiteral(
                          "Le fichier default.txt ne peut pas être lu : %1.\r\n"
                          "Choisissez la ville et son code postal par défaut ; pour "
                          "que ce choix soit enregistré, renommez ou supprimez ce "
                          "default.txt.")
                          .arg(lu.cause);
    }
    m_ui->Label1->setText(explication);
    ToutesVilles();
    if (m_remplacer) {
        // The file's values, to be mended rather than typed again.
        m_ui->TxtVille->setText(lu.valeurs.ville);
        m_ui->txtCp->setText(lu.valeurs.codePostal);
    }
    if (const QScreen* ecran = screen()) {
        move(ecran->availableGeometry().center() - rect().center());
    }
}

QString Form2::raisonRefus(const VilleDefaut& choix) {
    try {
        return defautInvalide(m_vars.dossier, choix);
    } catch (const store::ErreurStore&) {
        // Without a readable reference nothing can be judged, and the dialog
        // could offer no town: the values are taken as they are (the client
        // analysis checks the reference before its first change).
        return {};
    }
}

void Form2::txtCp_Change() {
    if (m_ui->txtCp->text().size() >= 2) {
        if (!m_vars.ChoixListe) {
            cpVilles();
        }
        TestCpVille();
    }
    m_vars.ChoixListe = false;
}

void Form2::TestCpVille() {
    m_ui->BtnFermer->setEnabled(!m_ui->txtCp->text().isEmpty() &&
                                !m_ui->TxtVille->text().isEmpty());
}

void Form2::ToutesVilles() {
    commun::tenter(m_messages, [this] {
        commun::ajouterTrie(m_ui->List1, commun::ToutesVilles(m_vars.dossier));
    });
}

void Form2::cpVilles() {
    if (m_silencieux) {
        // Never seen: the list would only be thrown away.
        return;
    }
    commun::tenter(m_messages, [this] {
        const QStringList villes = commun::cpVilles(m_vars.dossier, m_ui->txtCp->text());
        commun::remplirTrie(m_ui->List1, villes);
        m_ui->lblListeVille->setText(legendeVilles(m_ui->List1->count()));
    });
}

void Form2::List1_Click() {
    QListWidgetItem* choisie = m_ui->List1->currentItem();
    if (!choisie) {
        return;
    }
    const QString ville = choisie->text();
    m_vars.ChoixListe = true;
    commun::tenter(m_messages, [&] {
        if (const auto cp = commun::cpVille(m_vars.dossier, ville)) {
            m_ui->txtCp->setText(*cp);
        }
    });
    m_ui->TxtVille->setText(ville);
}

void Form2::BtnFermer_Click() {
    if (!m_silencieux) {
        // A postal code typed after the pick may not be the town's.
        const QString raison = raisonRefus({m_ui->TxtVille->text(), m_ui->txtCp->text()});
        if (!raison.isEmpty()) {
            m_messages.exclamation(
                QStringLiteral("Ce n'est pas une ville par défaut : %1. Choisissez la ville dans "
                               "la liste.")
                    .arg(raison));
            return;
        }
    }
    m_vars.CpDefaut = m_ui->txtCp->text();
    m_vars.VilleDefaut = m_ui->TxtVille->text();
    if (!ecrireDefaut(m_vars.dossier, {m_vars.VilleDefaut, m_vars.CpDefaut}, m_remplacer)) {
        m_messages.exclamation(
            QStringLiteral("Impossible d'enregistrer la ville par défaut dans « %1 »%2 : le "
                           "choix ne vaut que pour cette fois.")
                .arg(cheminDefaut(m_vars.dossier),
                     m_causeFichier.isEmpty() ? QString()
                                              : QStringLiteral(" (%1)").arg(m_causeFichier)));
    }
    m_confirme = true;
    emit choixConfirme();
    close();
}

}  // namespace communes
