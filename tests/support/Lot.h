#pragma once

#include <QString>
#include <QStringList>

namespace test {

// A batch verb as a script sees it: exit code, standard output, error output.
struct SortieLot {
    int code;
    QString out;
    QString err;
};

// Runs the command line in the folder, through the program's own parsing;
// a usage error gives its exit code and message.
SortieLot lancerLot(const QString& dossier, const QStringList& arguments);

// Runs the program itself on the folder. With `arret`, the process is killed
// at that step of a change spanning several files; `code` is then -1.
SortieLot lancerProgramme(const QString& dossier, const QStringList& arguments, int arret = 0);

// The entries of a folder, hidden ones included, each as "name sha1" (a
// folder as "name/"), in name order; those named in `sauf` left out.
QStringList contenuDossier(const QString& dossier, const QStringList& sauf = {});

}  // namespace test
