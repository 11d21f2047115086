#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <map>
#include <memory>
#include <vector>

#include "store/Connexion.h"
#include "store/Valeur.h"

namespace store {

// A keyset recordset, as the system's callers rely on it:
// - RecordCount is exact right after Open;
// - MoveFirst then MoveNext until Eof visits every row once, in one stable order;
// - a field read gives Null for a missing value, distinct from the empty text;
// - field writes followed by Update are stored at once;
// - Find moves forward from the current row (included) to the first match.
// The source is a table name, a SELECT (Jet dialect) or a statement that
// changes rows (DELETE…), which Open carries out, leaving the recordset closed.
// (The end test is Eof: EOF is a macro of the C library.)
class Recordset {
public:
    Recordset();
    ~Recordset();
    Recordset(Recordset&&) noexcept;
    Recordset& operator=(Recordset&&) noexcept;

    void Open(const QString& source, Connexion& cn);
    void Close() noexcept;
    // 1 while open, 0 when closed.
    int State() const { return m_ouvert ? 1 : 0; }

    qint64 RecordCount() const;
    bool Eof() const;
    void MoveFirst();
    void MoveNext();
    // "Code = 'A12'" or "Code = 0123": the field's text equals the value's text,
    // ASCII letter case aside ("Code = a12" finds A12). Without a match the
    // recordset is at its end.
    void Find(const QString& critere);

    int NbChamps() const { return static_cast<int>(m_noms.size()); }
    QString NomChamp(int index) const { return m_noms.value(index); }
    // -1 when there is no such field; names ignore letter case, accents included.
    int IndexChamp(const QString& nom) const;

    Valeur Champ(const QString& nom) const;
    Valeur Champ(int index) const;
    // The value shows at once; Update stores the row. Writing the value a field
    // already holds changes nothing.
    void EcrireChamp(const QString& nom, const Valeur& valeur);
    void EcrireChamp(int index, const Valeur& valeur);
    void Update();
    bool Modifie() const { return !m_modifs.empty(); }

    // 0-based position of the current row; RecordCount() at the end.
    qint64 Position() const { return m_position; }
    // The table whose rows can be written, empty for a read-only result.
    const QString& TableSource() const { return m_table; }

private:
    struct Etat;
    void exigerOuvert() const;
    void exigerLigne() const;
    void chargerLigne() const;
    int indexOuErreur(const QString& nom) const;
    void ouvrirTable(const QString& table, Connexion& cn);
    void ouvrirRequete(const QString& sql, Connexion& cn);

    bool m_ouvert = false;
    Connexion* m_cn = nullptr;
    QString m_table;  // table whose rows are updatable, if any
    QStringList m_noms;
    std::vector<bool> m_dates;
    QHash<QString, int> m_index;  // folded name -> index

    // Table mode: the keyset (row ids in order), rows read on demand.
    bool m_modeTable = false;
    std::vector<qint64> m_cles;
    // Query mode: the result read at Open, with its row ids when updatable.
    std::vector<std::vector<Valeur>> m_lignes;

    qint64 m_position = 0;
    mutable std::vector<Valeur> m_courante;
    mutable qint64 m_positionChargee = -1;
    std::map<int, Valeur> m_modifs;
    std::unique_ptr<Etat> m_etat;
};

}  // namespace store
