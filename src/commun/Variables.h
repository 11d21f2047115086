#pragma once

#include <QString>

#include "commun/Communes.h"

namespace commun {

// The state shared by the windows and the runs, owned by the application and
// passed by reference, so that every test starts from a fresh one.
struct Variables {
    // The application folder: the executable's, or the one given by --dossier.
    QString dossier;
    // Full path of the client database, set by each operation on it.
    QString CheminBd;

    QString VilleDefaut;
    QString CpDefaut;

    // Counts are 32-bit: a salon file may hold more than 32,767 clients.
    int NbFichiersRTF = 0;
    int NbCli = 0;
    int NbCliErr = 0;
    qint32 NbTech = 0;

    // Set when a town was just picked from a town list, so that the postal
    // code change it causes does not refill that list.
    bool ChoixListe = false;

    // The client under evaluation.
    QString NomClient;
    QString CodeClient;

    // The towns reference (cnCommunes), open from the first client analysis on.
    Communes cnCommunes;

    // application folder + "BdClient.mdb", letter case aside.
    QString cheminBd() const;
    // A file of the application folder, letter case aside.
    QString fichier(const QString& nom) const;
};

// Files of the folder (not its subfolders) whose name ends in "RTF", letter case aside.
int compterFichiersRtf(const QString& dossier);
}  // namespace commun
