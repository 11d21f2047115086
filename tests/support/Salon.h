#pragma once

#include <gtest/gtest.h>

#include "commun/Variables.h"
#include "support/Dossier.h"

namespace test {

// A salon's folder with empty client tables, and the shared state of a run
// whose default town is PARIS 75001.
class Salon : public ::testing::Test {
protected:
    void SetUp() override {
        cn = d.creerBase();
        vars.dossier = d.chemin();
        vars.VilleDefaut = QStringLiteral("PARIS");
        vars.CpDefaut = QStringLiteral("75001");
    }

    void client(const Champs& champs) { inserer(cn, QStringLiteral("FCLI"), champs); }
    // One column of a client, its code compared with its letter case.
    QString valeur(const QString& code, const QString& colonne) {
        const QStringList l =
            lignes(cn, QStringLiteral("SELECT %1 FROM FCLI WHERE Code = '%2' "
                                      "COLLATE BINARY")
                           .arg(store::citer(colonne), store::doublerApostrophes(code)));
        return l.value(0, QStringLiteral("<absent>"));
    }

    Dossier d;
    store::Connexion cn;
    commun::Variables vars;
};

}  // namespace test
