#include "commun/Controles.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCollator>
#include <QContextMenuEvent>
#include <QEvent>
#include <QFont>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPalette>
#include <QTreeWidget>
#include <algorithm>
#include <utility>

#include "platform/Locale.h"

namespace commun {

namespace {

// The characters of a text that the filter lets through; control characters
// are not text to insert.
QString filtrer(const QString& texte, void (*filtre)(int&)) {
    QString garde;
    for (const QChar c : texte) {
        int code = c.unicode();
        if (c.isPrint()) {
            filtre(code);
            if (code != 1) {
                garde += c;
            }
        }
    }
    return garde;
}

// The "Paste" of a box's standard context menu, told by its text as Qt writes
// it (translated, the shortcut after a tab).
bool estColler(const QAction* action) {
    return action->text().section(u'\t', 0, 0) == QLineEdit::tr("&Paste");
}

// The key filter judges the printable characters typed; editing keys (Tab,
// Delete, arrows, shortcuts) go their usual way. Pasted text (shortcut,
// context menu, middle click) goes through the same filter.
class FiltreTouches : public QObject {
public:
    FiltreTouches(QLineEdit* zone, void (*filtre)(int&))
        : QObject(zone), m_zone(zone), m_filtre(filtre) {}

protected:
    bool eventFilter(QObject* objet, QEvent* evenement) override {
        switch (evenement->type()) {
            case QEvent::KeyPress: {
                const auto* touche = static_cast<QKeyEvent*>(evenement);
                if (touche->matches(QKeySequence::Paste)) {
                    coller(QClipboard::Clipboard);
                    return true;
                }
                // A shortcut is not typing, whatever text the platform gives it.
                const Qt::KeyboardModifiers mods = touche->modifiers();
                if ((mods & (Qt::ControlModifier | Qt::MetaModifier)) &&
                    !(mods & Qt::AltModifier)) {
                    break;
                }
                const QString texte = touche->text();
                const bool imprimable =
                    std::any_of(texte.begin(), texte.end(), [](QChar c) { return c.isPrint(); });
                if (imprimable && filtrer(texte, m_filtre) != texte) {
                    inserer(filtrer(texte, m_filtre));
                    return true;
                }
                break;
            }
            case QEvent::ContextMenu: {
                // The menu's "Paste" goes through the filter too.
                QMenu* menu = m_zone->createStandardContextMenu();
                menu->setAttribute(Qt::WA_DeleteOnClose);
                for (QAction* action : menu->actions()) {
                    if (estColler(action)) {
                        action->disconnect(m_zone);
                        connect(action, &QAction::triggered, this,
                                [this] { coller(QClipboard::Clipboard); });
                    }
                }
                menu->popup(static_cast<QContextMenuEvent*>(evenement)->globalPos());
                return true;
            }
            case QEvent::MouseButtonRelease:
                if (static_cast<QMouseEvent*>(evenement)->button() == Qt::MiddleButton &&
                    QGuiApplication::clipboard()->supportsSelection()) {
                    m_zone->deselect();
                    coller(QClipboard::Selection);
                    return true;
                }
                break;
            default:
                break;
        }
        return QObject::eventFilter(objet, evenement);
    }

private:
    void coller(QClipboard::Mode mode) {
        inserer(filtrer(QGuiApplication::clipboard()->text(mode), m_filtre));
    }

    // Replaces the selection, as typing does; nothing left to insert changes nothing.
    void inserer(const QString& texte) {
        if (!texte.isEmpty() && !m_zone->isReadOnly()) {
            m_zone->insert(texte);
        }
    }

    QLineEdit* m_zone;
    void (*m_filtre)(int&);
};

// Loads on a change of selection, and on a click that changed nothing (the
// row clicked was selected already): a click on a new row loads once.
class SuiviSelection : public QObject {
public:
    SuiviSelection(QAbstractItemView* vue, std::function<void()> charger)
        : QObject(vue), m_vue(vue), m_charger(std::move(charger)) {
        vue->viewport()->installEventFilter(this);
        connect(vue, &QAbstractItemView::clicked, this, [this] {
            if (!std::exchange(m_chargeParLaPression, false)) {
                m_charger();
            }
        });
    }

    void selectionChangee() {
        if (m_vue->selectionModel()->hasSelection()) {
            m_chargeParLaPression = true;
            m_charger();
        }
    }

protected:
    bool eventFilter(QObject* objet, QEvent* evenement) override {
        if (evenement->type() == QEvent::MouseButtonPress) {
            m_chargeParLaPression = false;
        }
        return QObject::eventFilter(objet, evenement);
    }

private:
    QAbstractItemView* m_vue;
    std::function<void()> m_charger;
    bool m_chargeParLaPression = false;
};

QCollator collateur() {
    QCollator c(QLocale(QLocale::French, QLocale::France));
    c.setCaseSensitivity(Qt::CaseInsensitive);
    return c;
}

}  // namespace

void installerFiltre(QLineEdit* zone, void (*filtre)(int&)) {
    zone->installEventFilter(new FiltreTouches(zone, filtre));
    // Dropped text would go round the filter: such boxes take none.
    zone->setAcceptDrops(false);
}

void suivreSelection(QTreeWidget* liste, std::function<void()> charger) {
    auto* suivi = new SuiviSelection(liste, std::move(charger));
    QObject::connect(liste, &QTreeWidget::itemSelectionChanged, suivi,
                     &SuiviSelection::selectionChangee);
}

void suivreSelection(QListWidget* liste, std::function<void()> charger) {
    auto* suivi = new SuiviSelection(liste, std::move(charger));
    QObject::connect(liste, &QListWidget::itemSelectionChanged, suivi,
                     &SuiviSelection::selectionChangee);
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
    if (enErreur) {
        // An error shows whether the field is open or closed.
        p.setColor(QPalette::Base, QColor(255, 0, 0));
        p.setColor(QPalette::Text, QColor(255, 255, 255));
    } else {
        for (const auto etat : {QPalette::Active, QPalette::Inactive}) {
            p.setColor(etat, QPalette::Base, QColor(255, 255, 255));
            p.setColor(etat, QPalette::Text, QColor(0, 0, 0));
        }
        // Closed, it looks as a closed box does before any colouring.
        const QPalette ferme = QApplication::palette(zone);
        p.setBrush(QPalette::Disabled, QPalette::Base,
                   ferme.brush(QPalette::Disabled, QPalette::Base));
        p.setBrush(QPalette::Disabled, QPalette::Text,
                   ferme.brush(QPalette::Disabled, QPalette::Text));
    }
    zone->setPalette(p);
}

Attente::Attente() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

Attente::~Attente() {
    QApplication::restoreOverrideCursor();
}

}  // namespace commun
