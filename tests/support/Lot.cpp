#include "support/Lot.h"

#include <QTextStream>
#include <variant>

#include "app/Batch.h"

namespace test {

SortieLot lancerLot(const QString& dossier, const QStringList& arguments) {
    SortieLot s{};
    const auto commande = app::batch::analyser(arguments);
    if (const auto* erreur = std::get_if<QString>(&commande)) {
        return {app::batch::kUsage, {}, *erreur};
    }
    QTextStream out(&s.out);
    QTextStream err(&s.err);
    s.code = app::batch::executer(std::get<app::batch::Commande>(commande), dossier, out, err);
    out.flush();
    err.flush();
    return s;
}

}  // namespace test
