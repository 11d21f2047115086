#pragma once

#include <QString>

#include "platform/Erreur.h"

namespace store {

// Every failure of the record store: a French sentence for the user, plus the
// SQLite codes and the SQL text for whoever investigates.
class ErreurStore : public platform::Erreur {
public:
    explicit ErreurStore(const QString& message, int code = 0, int codeEtendu = 0,
                         const QString& sql = {}, const QString& detail = {});

    int code() const { return m_code; }
    int codeEtendu() const { return m_codeEtendu; }
    const QString& sql() const { return m_sql; }
    // SQLite's own words, in English, when there are some.
    const QString& detail() const { return m_detail; }
    // True when the database is locked by another program.
    bool verrouillee() const;

private:
    int m_code;
    int m_codeEtendu;
    QString m_sql;
    QString m_detail;
};

}  // namespace store
