#include "app/Controles.h"

#include <QApplication>
#include <QCollator>
#include <QFont>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPalette>
#include <QTreeWidget>
#include <algorithm>

#include "platform/Locale.h"

namespace app {

namespace {

class FiltreTouches : public QObject {
public:
    FiltreTouches(QObject* parent, void (*filtre)(int&)) : QObject(parent), m_filtre(filtre) {}

protected:
    bool eventFilter(QObject* objet, QEvent* evenement) override {
        if (evenement->type() == QEvent::KeyPress) {
            const auto* touche = static_cast<QKeyEvent*>(evenement);
            const QString texte = touche->text();
            if (texte.size() == 1) {
                int code = texte.at(0).unicode();
                m_filtre(code);
                if (code == 1) {
                    return true;
                }
            }
        }
        return QObject::eventFilter(objet, evenement);
    }

private:
    void (*m_filtre)(int&);
};

QCollator collateur() {
    QCollator c(QLocale(QLocale::French, QLocale::France));
    c.setCaseSensitivity(Qt::CaseInsensitive);
    return c;
}

}  // namespace

void installerFiltre(QLineEdit* zone, void (*filtre)(int&)) {
    zone->installEventFilter(new FiltreTouches(zone, filtre));
}

void ajouterTrie(QListWidget* liste, const QStringList& textes) {
    QStringList tous;
    tous.reserve(liste->count() + textes.size());
    for (int i = 0; i < liste->count(); ++i) {
        tous << liste->item(i)->text();
    }
    tous << textes;
    remplirTrie(liste, tous);
}

void remplirTrie(QListWidget* liste, const QStringList& textes) {
    QStringList tries = textes;
    const QCollator c = collateur();
    std::stable_sort(tries.begin(), tries.end(),
                     [&c](const QString& a, const QString& b) { return c.compare(a, b) < 0; });
    liste->setUpdatesEnabled(false);
    liste->clear();
    liste->addItems(tries);
    liste->setUpdatesEnabled(true);
}

void appliquerPolices() {
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("Tahoma"),
                               {QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
    QFont::insertSubstitutions(QStringLiteral("Verdana"),
                               {QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
    QFont::insertSubstitutions(QStringLiteral("Courier New"), {QStringLiteral("Liberation Mono"),
                                                               QStringLiteral("DejaVu Sans Mono")});
    QFont police(QStringLiteral("MS Sans Serif"));
    police.setPointSize(8);
    QApplication::setFont(police);
}

void placer(QWidget* w, int gauche, int haut, int largeur, int hauteur) {
    w->setGeometry(pixels(gauche), pixels(haut), pixels(largeur), pixels(hauteur));
}

QTreeWidgetItem* ligneSelectionnee(const QTreeWidget* liste) {
    const QList<QTreeWidgetItem*> choisies = liste->selectedItems();
    return choisies.isEmpty() ? nullptr : choisies.first();
}

void colorer(QWidget* zone, bool enErreur) {
    QPalette p = zone->palette();
    p.setColor(QPalette::Base, enErreur ? QColor(255, 0, 0) : QColor(255, 255, 255));
    p.setColor(QPalette::Text, enErreur ? QColor(255, 255, 255) : QColor(0, 0, 0));
    zone->setPalette(p);
}

}  // namespace app
