#pragma once

#include <QString>
#include <optional>

namespace communes {

// default.txt: the default town on line 1, its postal code on line 2, in
// Windows-1252 with CR LF line ends. Missing lines read as empty texts.
struct VilleDefaut {
    QString ville;
    QString codePostal;
};

QString cheminDefaut(const QString& dossier);
std::optional<VilleDefaut> lireDefaut(const QString& dossier);
// Never rewrites an existing file; false when the file cannot be written.
bool ecrireDefaut(const QString& dossier, const VilleDefaut& defaut);

}  // namespace communes
