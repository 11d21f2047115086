#pragma once

#include <QString>
#include <QStringList>

namespace test {

// A batch verb as a script sees it: exit code, standard output, error output.
struct SortieLot {
    int code = -1;
    QString out;
    QString err;
};

// Runs the command line in the folder, through the program's own parsing;
// a usage error gives its exit code and message.
SortieLot lancerLot(const QString& dossier, const QStringList& arguments);

// Runs a program to its end as a script does, without any display; `code` is
// -1 when it did not end normally. With `arret`, the process is killed at that
// step of a change spanning several files.
SortieLot executer(const QString& programme, const QStringList& arguments, int arret = 0);

// verifclients itself on the folder.
SortieLot lancerProgramme(const QString& dossier, const QStringList& arguments, int arret = 0);

// The entries of a folder, hidden ones included, each as "name sha1" (a
// folder as "name/"), in name order; those named in `sauf` left out.
QStringList contenuDossier(const QString& dossier, const QStringList& sauf = {});

}  // namespace test
