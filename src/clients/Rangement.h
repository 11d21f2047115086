#pragma once

#include <QString>

namespace store {
class Recordset;
}

namespace clients {

// The tidying of FCLI rows. The columns are looked up once (a missing one
// throws store::ErreurStore); ranger() then tidies the current row, action
// after action, each seeing the earlier ones, and gives a client without town
// nor postal code the default ones. Only changed fields are written; the
// caller updates the record.
class Rangement {
public:
    Rangement(store::Recordset& rs, const QString& villeDefaut, const QString& cpDefaut);
    void ranger();

private:
    QString texteOuNul(int colonne, bool& nul) const;
    void ecrire(int colonne, const QString& avant, const QString& apres);
    void rangerDate();

    store::Recordset& m_rs;
    QString m_villeDefaut;
    QString m_cpDefaut;
    int m_nom, m_prenom, m_adresse, m_adresse2, m_catAge, m_moisNais, m_email, m_tel1, m_tel2,
        m_dateNaissance, m_cp, m_ville, m_genCode;
};

// Leading and trailing spaces removed (spaces only, not tabs or line breaks).
QString rogner(const QString& texte);

}  // namespace clients
