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

}  // namespace test
