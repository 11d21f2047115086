#include "commun/Verbes.h"

namespace commun {

QString ligneListe(const QString& liste, const QStringList& colonnes) {
    QStringList champs{liste};
    for (QString c : colonnes) {
        champs << c.replace(u'\\', QStringLiteral("\\\\"))
                      .replace(u'\t', QStringLiteral("\\t"))
                      .replace(u'\r', QStringLiteral("\\r"))
                      .replace(u'\n', QStringLiteral("\\n"));
    }
    return champs.join(u'\t');
}

}  // namespace commun
