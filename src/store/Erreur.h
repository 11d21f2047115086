#pragma once

#include <QString>
#include <stdexcept>

namespace store {

// Every failure of the record store: a French sentence for the user, plus the
// SQLite codes and the SQL text for whoever investigates.
class ErreurStore : public std::runtime_error {
public:
    explicit ErreurStore(const QString& message, int code = 0, int codeEtendu = 0,
                         const QString& sql = {}, const QString& detail = {});

    const QString& message() const { return m_message; }
    int code() const { return m_code; }
    int codeEtendu() const { return m_codeEtendu; }
    const QString& sql() const { return m_sql; }
    // SQLite's own words, in English, when there are some.
    const QString& detail() const { return m_detail; }
    // True when the database is locked by another program.
    bool verrouillee() const;

private:
    QString m_message;
    int m_code;
    int m_codeEtendu;
    QString m_sql;
    QString m_detail;
};

}  // namespace store
