#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <utility>
#include <vector>

#include "store/Connexion.h"
#include "store/Valeur.h"
#include "support/Impression.h"

namespace test {

using Champs = QMap<QString, store::Valeur>;

// A temporary application folder, removed at the end of the test.
class Dossier {
public:
    Dossier();
    QString chemin() const { return m_dir.path(); }
    QString chemin(const QString& nom) const;

    // BdClient.mdb with empty FCLI, FTEC and FCONS tables.
    store::Connexion creerBase(const QString& nom = QStringLiteral("BdClient.mdb")) const;
    // communes.mdb: the real reference built from the npm package.
    void copierCommunes() const;
    // communes.mdb with just these (postal code, town) rows.
    void creerCommunes(const std::vector<std::pair<QString, QString>>& lignes) const;

    void ecrire(const QString& nom, const QByteArray& contenu) const;
    QByteArray lire(const QString& nom) const;
    bool existe(const QString& nom) const;

private:
    QTemporaryDir m_dir;
};

// A file or folder that cannot be written while the object lives, root
// included (who ignores permissions: the immutable flag then). Not active
// when the system allows neither.
class Protection {
public:
    explicit Protection(const QString& chemin);
    ~Protection();
    Protection(const Protection&) = delete;
    Protection& operator=(const Protection&) = delete;
    bool active() const { return m_active; }

private:
    QString m_chemin;
    bool m_active = false;
};

// An RTF note whose plain text is `texte`, written as a rich-text control
// saves it.
inline QByteArray noteRtf(const QByteArray& texte) {
    return "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1036{\\fonttbl{\\f0\\fswiss\\fcharset0 "
           "Arial;}}\r\n\\viewkind4\\uc1\\pard\\f0\\fs20 " +
           texte + "\\par\r\n}\r\n";
}

// One row into a table; the other columns stay Null.
void inserer(store::Connexion& cn, const QString& table, const Champs& champs);

// The message of the error that `action` throws (a failure of the test when
// it throws none).
QString echec(const std::function<void()>& action);

// A stored value as the tests compare it: its text, Null told apart.
QString texte(const store::Valeur& v);
// The rows of a query, each as its columns' texts joined by "|".
QStringList lignes(const store::Connexion& cn, const QString& sql);
// The first column of the first row as a number; -1 without a row.
qint64 nombre(const store::Connexion& cn, const QString& sql);
// The lines of an export file, read back as a UTF-16-aware editor would.
QStringList lignesExport(const QByteArray& octets);
// The data tables as `sqlite3 .dump` writes them, rowids and types included.
QByteArray vidage(const QString& base);
// The journal of changes, one line per entry without its time and batch:
// "operation|table|key|column|before|after".
QStringList journal(const store::Connexion& cn);

}  // namespace test
