#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

#include "store/Valeur.h"

struct sqlite3;
struct sqlite3_stmt;

namespace store {

// Quotes an identifier for SQLite ("Cat, Age" -> "\"Cat, Age\"").
QString citer(const QString& identifiant);
// Doubles every apostrophe of a text spliced between single quotes.
QString doublerApostrophes(const QString& texte);
// A text as the store compares it: the ASCII letters folded, nothing else
// (SQLite's NOCASE), so "Évry" and "éVRY" stay apart but "PARIS" is "paris".
QString sansCasse(const QString& texte);

// Why the database file cannot be written, in French: its folder is protected
// (the store writes its journal beside the file), or the file itself is read
// only. Empty when both can be written.
QString causeEcriture(const QString& chemin);

// True when the file starts like a Microsoft Access database (Jet or ACE).
bool estFichierAccess(const QString& chemin);

// One connection to a database file. Opening never creates a file: a missing
// database is an error. Closing is automatic.
// Its SQL knows two functions of ours for dates stored in any form that
// dates::lireStockee reads, or as day serials: EnDate(x) gives the date in our
// text form (comparable with the date literals), Null for Null or a blank
// text, and fails on a value that is not a date; NonDate(x) is 1 for such a
// value, 0 otherwise.
class Connexion {
public:
    enum class Acces { LectureEcriture, Lecture };

    Connexion() = default;
    // The file name part is matched without regard to letter case.
    explicit Connexion(const QString& chemin, Acces acces = Acces::LectureEcriture);
    // A new, empty database (tools and tests); an existing file is an error.
    static Connexion creer(const QString& chemin);

    Connexion(Connexion&&) noexcept = default;
    Connexion& operator=(Connexion&&) noexcept = default;
    ~Connexion() = default;

    bool ouverte() const { return m_db != nullptr; }
    void Close() noexcept { m_db.reset(); }
    const QString& chemin() const { return m_chemin; }
    sqlite3* handle() const;

    // One statement of the system's own SQL (Jet dialect), translated.
    void executerJet(const QString& sqlJet);
    // Native SQLite text, one or several statements, no translation.
    void executerSqlite(const QString& sql);

    // The schema query: column names of a table, in their stored order.
    // A missing table gives an empty list.
    QStringList colonnes(const QString& table) const;
    // Declared types, in the same order as colonnes().
    QStringList typesColonnes(const QString& table) const;
    bool tableExiste(const QString& table) const;
    // The name of a table as stored, letter case aside; empty when there is none.
    QString nomTable(const QString& table) const;
    // The collating sequence a column is declared with ("BINARY" when none is
    // given); empty when there is no such column.
    QString collation(const QString& table, const QString& colonne) const;

    // Rows changed by the last INSERT, UPDATE or DELETE.
    qint64 lignesModifiees() const;

private:
    struct Fermeture {
        void operator()(sqlite3* db) const noexcept;
    };
    void preparer(bool ecriture);

    std::unique_ptr<sqlite3, Fermeture> m_db;
    QString m_chemin;
};

// A prepared statement of native SQLite text, finalised with its owner.
class Instruction {
public:
    Instruction(const Connexion& cn, const QString& sql);

    // Parameters count from 1, as in SQLite.
    Instruction& lier(int index, const Valeur& valeur);
    Instruction& lier(int index, const QString& texte);
    Instruction& lier(int index, qint64 entier);
    // A text as its UTF-8 bytes, taken as they are, invalid sequences included.
    Instruction& lierUtf8(int index, const QByteArray& utf8);

    // One step: true when a row is ready, false when the statement is done.
    bool avancer();
    // Steps to the end, ignoring rows.
    void executer();
    // Back to the start, parameters cleared.
    void reinitialiser();

    int nbColonnes() const;
    QString nomColonne(int i) const;
    QString typeDeclare(int i) const;
    // A value of the current row. `date` reads a text "YYYY-MM-DD…" as a date.
    Valeur colonne(int i, bool date = false) const;
    qint64 colonneEntier(int i) const;
    QString colonneTexte(int i) const;
    // The bytes of a text as stored (UTF-8, invalid sequences included);
    // nothing for a value of another type.
    std::optional<QByteArray> colonneUtf8(int i) const;

    const QString& sql() const { return m_sql; }

private:
    struct Finalisation {
        void operator()(sqlite3_stmt* stmt) const noexcept;
    };
    [[noreturn]] void echec(int code) const;

    std::unique_ptr<sqlite3_stmt, Finalisation> m_stmt;
    sqlite3* m_db = nullptr;
    QString m_sql;
};

// A transaction that rolls back in its destructor unless committed.
class Transaction {
public:
    explicit Transaction(Connexion& cn);
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    ~Transaction();

    void valider();

private:
    Connexion& m_cn;
    bool m_active = true;
};

// A read transaction: every read through the connection until it ends sees
// the database as of the moment it began, under one lock taken at once (so no
// writer gets in between), instead of a lock taken and released for each
// statement. It writes nothing, so its destructor ends it quietly; terminer()
// ends it where a failure must be told. Statements still stepping keep the
// lock until they are reset or destroyed.
class TransactionLecture {
public:
    explicit TransactionLecture(Connexion& cn);
    TransactionLecture(const TransactionLecture&) = delete;
    TransactionLecture& operator=(const TransactionLecture&) = delete;
    ~TransactionLecture();

    void terminer();

private:
    Connexion& m_cn;
    bool m_active = true;
};

// True when a declared column type holds dates ("DATETIME", "DATE", "TIME"…).
bool typeDate(const QString& typeDeclare);

}  // namespace store
