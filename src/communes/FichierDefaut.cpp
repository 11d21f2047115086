#include "communes/FichierDefaut.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "platform/Cp1252.h"
#include "platform/Fichiers.h"

namespace communes {

QString cheminDefaut(const QString& dossier) {
    return platform::resoudre(dossier, QStringLiteral("default.txt"));
}

std::optional<VilleDefaut> lireDefaut(const QString& dossier) {
    QFile f(cheminDefaut(dossier));
    if (!f.exists() || !f.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QString texte = platform::depuisCp1252(f.readAll());
    // Lines end with CR LF; a lone LF or CR is a line end too.
    QString t = texte;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    const QStringList lignes = t.split(u'\n');
    VilleDefaut d;
    d.ville = lignes.value(0);
    d.codePostal = lignes.value(1);
    return d;
}

bool ecrireDefaut(const QString& dossier, const VilleDefaut& defaut) {
    const QString chemin = cheminDefaut(dossier);
    if (QFileInfo::exists(chemin)) {
        return true;
    }
    QSaveFile f(chemin);
    if (!f.open(QIODevice::WriteOnly)) {
        return false;
    }
    f.write(platform::versCp1252(defaut.ville + QStringLiteral("\r\n") + defaut.codePostal +
                                 QStringLiteral("\r\n")));
    return f.commit();
}

}  // namespace communes
