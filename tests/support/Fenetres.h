#pragma once

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <memory>

#include "app/Form1.h"
#include "support/FauxMessages.h"
#include "support/Salon.h"

namespace test {

// A control by its object name, as the windows name them.
template <class T>
T* enfant(QObject* parent, const char* nom) {
    T* w = parent->findChild<T*>(QString::fromLatin1(nom));
    if (!w) {
        ADD_FAILURE() << "contrôle introuvable : " << nom;
    }
    return w;
}

// Lets events through until the condition holds (five seconds at most).
inline bool attendreQue(const std::function<bool()>& condition) {
    return QTest::qWaitFor(condition, 5000);
}

// The rows of a list or tree, each as its first `colonnes` texts joined by "|".
inline QStringList lignes(const QAbstractItemView* vue, int colonnes = 1) {
    QStringList l;
    const QAbstractItemModel* m = vue->model();
    for (int r = 0; r < m->rowCount(); ++r) {
        QStringList t;
        for (int c = 0; c < colonnes; ++c) {
            t << m->index(r, c).data().toString();
        }
        l << t.join(u'|');
    }
    return l;
}

// A mouse click (or a double click) on the row whose first column is `texte`.
inline void cliquerLigne(QAbstractItemView* vue, const QString& texte, bool double_ = false) {
    const QModelIndexList trouvees =
        vue->model()->match(vue->model()->index(0, 0), Qt::DisplayRole, texte, 1, Qt::MatchExactly);
    ASSERT_FALSE(trouvees.isEmpty()) << texte.toStdString();
    vue->scrollTo(trouvees.first());
    const QPoint centre = vue->visualRect(trouvees.first()).center();
    // A double click comes after the click of its first press, as with a mouse.
    QTest::mouseClick(vue->viewport(), Qt::LeftButton, {}, centre);
    if (double_) {
        QTest::mouseDClick(vue->viewport(), Qt::LeftButton, {}, centre);
    }
}

// Runs `action` in the dialog of type T that `ouvrir` shows, once the dialog's
// own event loop runs, then closes it. False when no such dialog showed.
template <class T>
bool dansDialogue(const std::function<void()>& ouvrir, const std::function<void(T&)>& action) {
    struct Guet : QObject {
        std::function<void(T&)> action;
        bool vu = false;
        bool eventFilter(QObject* o, QEvent* e) override {
            auto* dialogue = qobject_cast<T*>(o);
            if (dialogue && e->type() == QEvent::Show && !vu) {
                vu = true;
                QMetaObject::invokeMethod(
                    dialogue,
                    [this, dialogue] {
                        action(*dialogue);
                        dialogue->accept();
                    },
                    Qt::QueuedConnection);
            }
            return false;
        }
    } guet;
    guet.action = action;
    qApp->installEventFilter(&guet);
    ouvrir();
    qApp->removeEventFilter(&guet);
    return guet.vu;
}

// The main window on a salon's folder, with the scripted message boxes.
class Fenetre : public Salon {
protected:
    void ouvrir() {
        form = std::make_unique<app::Form1>(vars, messages);
        form->show();
    }
    template <class T>
    T* w(const char* nom) {
        return enfant<T>(form.get(), nom);
    }
    void cliquer(const char* bouton) { QTest::mouseClick(w<QPushButton>(bouton), Qt::LeftButton); }

    FauxMessages messages;
    std::unique_ptr<app::Form1> form;
};

}  // namespace test
