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

// Seconds the reading of a file of that many bytes may take, far above what a
// sound file needs: the reader stops itself there, the converter gives up.
qint64 dureeMax(qint64 octets);
// Memory the reader may use, far above what a sound file needs.
constexpr qint64 kMemoireMax = qint64(1) << 30;
Message lire(QStringView ligne);

}  // namespace acces::protocole
