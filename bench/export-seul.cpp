// The export alone, without the analysis that the batch verbs run first, so
// that the benchmark can time each part: export-seul DOSSIER clients|techniques

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
    if (args.size() != 3 ||
        (args[2] != QLatin1String("clients") && args[2] != QLatin1String("techniques"))) {
        err << "usage : export-seul DOSSIER clients|techniques\n";
        return 2;
    }
    try {
        const exports::Bilan bilan = args[2] == QLatin1String("clients")
                                         ? exports::ExportClients(args[1], {})
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
