#include "store/Erreur.h"

#include <sqlite3.h>

namespace store {

ErreurStore::ErreurStore(const QString& message, int code, int codeEtendu, const QString& sql,
                         const QString& detail)
    : platform::Erreur(message),
      m_code(code),
      m_codeEtendu(codeEtendu),
      m_sql(sql),
      m_detail(detail) {}

bool ErreurStore::verrouillee() const {
    return m_code == SQLITE_BUSY || m_code == SQLITE_LOCKED;
}

}  // namespace store
