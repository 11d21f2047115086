#pragma once

#include <QString>
#include <QStringList>

namespace acces::protocole {

// The reader program tells the converter what it does, one line per event on
// its standard output: a word, then tab-separated fields (a tab, a line break
// or a backslash inside a field escaped as \t, \n, \r, \\).
//
//   SOURCE   version-jet  page-code  version-libmdb
//   TABLES   name1  rows1  name2  rows2 …     (rows as the file counts them)
//   COLONNES index  column1  column2 …        (as stored, before the table's rows)
//   PROGRES  index  rows-done  rows
//   FAIT     index  rows  characters-replaced
//   FIN      rows  microseconds  characters-replaced
//   ERREUR   endommage|autre  message

struct Message {
    QString mot;
    QStringList champs;
};

QString ligne(const QString& mot, const QStringList& champs = {});
Message lire(QStringView ligne);

}  // namespace acces::protocole
