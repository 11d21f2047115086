// The export alone, without the analysis that the batch verbs run first, so
// that the benchmark can time each part; or the count of the records the
// importer may misread, that the window makes before its question:
// export-seul DOSSIER clients|techniques|compte-clients|compte-techniques

#include <QCoreApplication>
#include <QTextStream>

#include "export/Export.h"
#include "platform/ErreurFichier.h"
#include "store/Erreur.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    const QStringList modes = {QStringLiteral("clients"), QStringLiteral("techniques"),
                               QStringLiteral("compte-clients"),
                               QStringLiteral("compte-techniques")};
    if (args.size() != 3 || !modes.contains(args[2])) {
        err << "usage : export-seul DOSSIER clients|techniques|compte-clients|compte-techniques\n";
        return 2;
    }
    try {
        if (args[2] == modes[2] || args[2] == modes[3]) {
            const QStringList ambigus = args[2] == modes[2] ? exports::ClientsAmbigus(args[1], {})
                                                            : exports::FichesAmbigues(args[1], {});
            out << ambigus.size() << " lignes mal lues\n";
            return 0;
        }
        const exports::Bilan bilan = args[2] == modes[0] ? exports::ExportClients(args[1], {})
                                                         : exports::ExportTechniques(args[1], {});
        out << bilan.nbFichiers << " fichiers\n";
        return 0;
    } catch (const store::ErreurStore& e) {
        err << e.message() << '\n';
    } catch (const platform::ErreurFichier& e) {
        err << e.message() << '\n';
    }
    return 1;
}
