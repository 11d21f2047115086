#include "store/Connexion.h"

#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

#include "platform/Fichiers.h"
#include "store/Dates.h"
#include "store/Erreur.h"
#include "store/Jet.h"

namespace store {

namespace {

QString nomFichier(const QString& chemin) {
    return QFileInfo(chemin).fileName();
}

QString messageSqlite(int code, const QString& detail, const QString& chemin) {
    const QString fichier = nomFichier(chemin);
    static const QRegularExpression pasDeTable(QStringLiteral("^no such table: (.+)$"));
    static const QRegularExpression pasDeColonne(QStringLiteral("^no such column: (.+)$"));
    switch (code & 0xFF) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return QStringLiteral(
                       "La base de données « %1 » est verrouillée par un autre programme. "
                       "Fermez-le puis recommencez.")
                .arg(fichier);
        case SQLITE_READONLY:
        case SQLITE_CANTOPEN:
            // A protected folder or file is the usual cause: name it.
            if (const QString cause = causeEcriture(chemin); !cause.isEmpty()) {
                return cause;
            }
            if ((code & 0xFF) == SQLITE_READONLY) {
                return QStringLiteral(
                           "La base de données « %1 » est en lecture seule : "
                           "impossible d'y enregistrer quoi que ce soit.")
                    .arg(fichier);
            }
            if (QFileInfo(chemin).isFile() && !QFileInfo(chemin).isReadable()) {
                return QStringLiteral(
                           "La base de données « %1 » ne peut pas être lue : permission refusée.")
                    .arg(fichier);
            }
            return QStringLiteral("Impossible d'ouvrir la base de données « %1 ».").arg(fichier);
        case SQLITE_NOTADB:
            return QStringLiteral("Le fichier « %1 » n'est pas une base de données lisible.")
                .arg(fichier);
        case SQLITE_CORRUPT:
            return QStringLiteral("La base de données « %1 » est endommagée.").arg(fichier);
        case SQLITE_FULL:
            return QStringLiteral("Le disque est plein : impossible d'écrire dans « %1 ».")
                .arg(fichier);
        case SQLITE_IOERR:
            return QStringLiteral("Erreur de lecture ou d'écriture sur « %1 ».").arg(fichier);
        case SQLITE_CONSTRAINT:
            return QStringLiteral(
                       "La base de données « %1 » refuse l'enregistrement "
                       "(une contrainte n'est pas respectée).")
                .arg(fichier);
        default:
            break;
    }
    if (const auto m = pasDeTable.match(detail); m.hasMatch()) {
        return QStringLiteral("La table « %1 » est introuvable dans la base de données « %2 ».")
            .arg(m.captured(1), fichier);
    }
    if (const auto m = pasDeColonne.match(detail); m.hasMatch()) {
        return QStringLiteral("La colonne « %1 » est introuvable dans la base de données « %2 ».")
            .arg(m.captured(1), fichier);
    }
    return QStringLiteral("Erreur de la base de données « %1 » : %2").arg(fichier, detail);
}

[[noreturn]] void lever(sqlite3* db, int code, const QString& sql, const QString& chemin) {
    const QString detail =
        db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(code));
    const int etendu = db ? sqlite3_extended_errcode(db) : code;
    throw ErreurStore(messageSqlite(code, detail, chemin), code & 0xFF, etendu, sql, detail);
}

// What a stored value says as a date.
enum class Lu { Vide, Date, PasUneDate };

// Our own form "YYYY-MM-DD HH:MM:SS" with a real day and time, read from its
// bytes: it is by far the most common, and every purge reads every date.
bool estFormeIso(const char* o, int n) {
    static constexpr char kForme[] = "0000-00-00 00:00:00";
    if (n != 19) {
        return false;
    }
    for (int k = 0; k < n; ++k) {
        if (kForme[k] == '0' ? (o[k] < '0' || o[k] > '9') : o[k] != kForme[k]) {
            return false;
        }
    }
    const auto nombre = [o](int debut, int taille) {
        int v = 0;
        for (int k = debut; k < debut + taille; ++k) {
            v = v * 10 + (o[k] - '0');
        }
        return v;
    };
    const int annee = nombre(0, 4);
    const int mois = nombre(5, 2);
    const int jour = nombre(8, 2);
    static constexpr int kJours[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (annee < 1 || mois < 1 || mois > 12 || jour < 1) {
        return false;
    }
    const bool bissextile = (annee % 4 == 0 && annee % 100 != 0) || annee % 400 == 0;
    if (jour > kJours[mois - 1] + (mois == 2 && bissextile ? 1 : 0)) {
        return false;
    }
    return nombre(11, 2) < 24 && nombre(14, 2) < 60 && nombre(17, 2) < 60;
}

Lu lireDate(sqlite3_value* v, double& serie, bool& formeIso) {
    formeIso = false;
    switch (sqlite3_value_type(v)) {
        case SQLITE_NULL:
            return Lu::Vide;
        case SQLITE_INTEGER:
        case SQLITE_FLOAT: {
            const auto s = dates::serieValide(sqlite3_value_double(v));
            serie = s.value_or(0.0);
            return s ? Lu::Date : Lu::PasUneDate;
        }
        case SQLITE_TEXT:
            break;
        default:
            return Lu::PasUneDate;
    }
    const auto* octets = reinterpret_cast<const char*>(sqlite3_value_text(v));
    const int n = sqlite3_value_bytes(v);
    formeIso = estFormeIso(octets, n);
    if (formeIso) {
        return Lu::Date;
    }
    // Dates are short and plain ASCII: read them without allocating.
    char16_t tampon[64];
    QString long_;
    QStringView texte;
    if (n < 64 && std::all_of(octets, octets + n, [](char c) { return c > 0; })) {
        std::copy(octets, octets + n, tampon);
        texte = QStringView(tampon, n);
    } else {
        long_ = QString::fromUtf8(octets, n);
        texte = long_;
    }
    if (texte.trimmed().isEmpty()) {
        return Lu::Vide;
    }
    const auto s = dates::lireStockee(texte);
    serie = s.value_or(0.0);
    return s ? Lu::Date : Lu::PasUneDate;
}

// EnDate(x): the date a stored value stands for, in our text form, so that it
// compares with the date literals; Null for Null or a blank text. A value
// that is not a date is an error: no comparison may take it for one.
void enDate(sqlite3_context* ctx, int, sqlite3_value** argv) {
    double serie = 0;
    bool formeIso = false;
    switch (lireDate(argv[0], serie, formeIso)) {
        case Lu::Vide:
            sqlite3_result_null(ctx);
            return;
        case Lu::PasUneDate: {
            const QByteArray message = QStringLiteral("« %1 » n'est pas une date")
                                           .arg(QString::fromUtf8(reinterpret_cast<const char*>(
                                               sqlite3_value_text(argv[0]))))
                                           .toUtf8();
            sqlite3_result_error(ctx, message.constData(), static_cast<int>(message.size()));
            return;
        }
        case Lu::Date:
            break;
    }
    if (formeIso) {
        sqlite3_result_value(ctx, argv[0]);
        return;
    }
    const QByteArray iso = dates::texteIso(serie).toLatin1();
    sqlite3_result_text(ctx, iso.constData(), static_cast<int>(iso.size()), SQLITE_TRANSIENT);
}

// NonDate(x): 1 for a value that is neither empty nor a date, 0 otherwise.
void nonDate(sqlite3_context* ctx, int, sqlite3_value** argv) {
    double serie = 0;
    bool formeIso = false;
    sqlite3_result_int(ctx, lireDate(argv[0], serie, formeIso) == Lu::PasUneDate ? 1 : 0);
}

QString cheminDe(sqlite3* db) {
    const char* f = db ? sqlite3_db_filename(db, "main") : nullptr;
    return f ? QString::fromUtf8(f) : QString();
}

}  // namespace

QString citer(const QString& identifiant) {
    QString r = identifiant;
    r.replace(u'"', QStringLiteral("\"\""));
    return u'"' + r + u'"';
}

QString doublerApostrophes(const QString& texte) {
    QString r = texte;
    r.replace(u'\'', QStringLiteral("''"));
    return r;
}

QString sansCasse(const QString& texte) {
    QString r = texte;
    for (QChar& c : r) {
        if (c >= u'A' && c <= u'Z') {
            c = QChar(c.unicode() + 32);
        }
    }
    return r;
}

QString causeEcriture(const QString& chemin) {
    const QFileInfo info(chemin);
    if (!QFileInfo(info.absolutePath()).isWritable()) {
        return QStringLiteral(
                   "Le dossier « %1 » est protégé en écriture : la base de données « %2 » "
                   "ne peut pas y être modifiée (ni sauvegardée). Donnez le droit "
                   "d'écriture sur ce dossier, puis recommencez.")
            .arg(QDir::toNativeSeparators(info.absolutePath()), info.fileName());
    }
    if (info.exists() && !info.isWritable()) {
        return QStringLiteral(
                   "La base de données « %1 » est en lecture seule : impossible d'y "
                   "enregistrer quoi que ce soit. Ôtez-lui la lecture seule, puis "
                   "recommencez.")
            .arg(info.fileName());
    }
    return {};
}

bool estFichierAccess(const QString& chemin) {
    QFile f(chemin);
    if (!f.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray entete = f.read(19);
    const QByteArray signature = entete.mid(4, 15);
    return signature == "Standard Jet DB" || signature == "Standard ACE DB";
}

bool typeDate(const QString& typeDeclare) {
    return typeDeclare.contains(QLatin1String("DATE"), Qt::CaseInsensitive) ||
           typeDeclare.contains(QLatin1String("TIME"), Qt::CaseInsensitive);
}

void Connexion::Fermeture::operator()(sqlite3* db) const noexcept {
    // Statements are finalised by their owners; close_v2 waits for stragglers.
    sqlite3_close_v2(db);
}

Connexion::Connexion(const QString& chemin, Acces acces) {
    const QFileInfo info(chemin);
    m_chemin = platform::resoudre(info.absolutePath(), info.fileName());
    if (!QFileInfo(m_chemin).isFile()) {
        throw ErreurStore(
            QStringLiteral("La base de données « %1 » est introuvable dans le dossier « %2 ».")
                .arg(info.fileName(), QDir::toNativeSeparators(info.absolutePath())),
            SQLITE_CANTOPEN, SQLITE_CANTOPEN);
    }
    if (estFichierAccess(m_chemin)) {
        throw ErreurStore(
            QStringLiteral("Le fichier « %1 » est une base Microsoft Access : convertissez-le "
                           "d'abord (verifclients --convertir-access).")
                .arg(nomFichier(m_chemin)),
            SQLITE_NOTADB, SQLITE_NOTADB);
    }
    sqlite3* db = nullptr;
    const int drapeaux = (acces == Acces::Lecture ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) |
                         SQLITE_OPEN_NOMUTEX;
    const int rc = sqlite3_open_v2(m_chemin.toUtf8().constData(), &db, drapeaux, nullptr);
    m_db.reset(db);
    if (rc != SQLITE_OK) {
        lever(db, rc, {}, m_chemin);
    }
    preparer(acces == Acces::LectureEcriture);
}

Connexion Connexion::creer(const QString& chemin) {
    if (QFileInfo::exists(chemin)) {
        throw ErreurStore(QStringLiteral("Le fichier « %1 » existe déjà.").arg(nomFichier(chemin)));
    }
    Connexion cn;
    cn.m_chemin = chemin;
    sqlite3* db = nullptr;
    const int rc =
        sqlite3_open_v2(chemin.toUtf8().constData(), &db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    cn.m_db.reset(db);
    if (rc != SQLITE_OK) {
        lever(db, rc, {}, chemin);
    }
    cn.preparer(true);
    return cn;
}

void Connexion::preparer(bool ecriture) {
    sqlite3* db = m_db.get();
    // A misspelt quoted column name must be an error, never the text of its name.
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    sqlite3_busy_timeout(db, 3000);
    // Dates stored in any of their forms, for the statements that compare them.
    constexpr int kDrapeaux = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    sqlite3_create_function_v2(db, "EnDate", 1, kDrapeaux, nullptr, &enDate, nullptr, nullptr,
                               nullptr);
    sqlite3_create_function_v2(db, "NonDate", 1, kDrapeaux, nullptr, &nonDate, nullptr, nullptr,
                               nullptr);
    // Reading the schema now turns "not a database" into an error at opening.
    executerSqlite(QStringLiteral("PRAGMA schema_version"));
    if (ecriture) {
        // A killed process never leaves a torn database; each commit is atomic.
        executerSqlite(QStringLiteral("PRAGMA synchronous=NORMAL"));
    }
}

sqlite3* Connexion::handle() const {
    if (!m_db) {
        throw ErreurStore(QStringLiteral("La connexion à la base de données est fermée."));
    }
    return m_db.get();
}

void Connexion::executerSqlite(const QString& sql) {
    sqlite3* db = handle();
    char* erreur = nullptr;
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &erreur);
    sqlite3_free(erreur);
    if (rc != SQLITE_OK) {
        lever(db, rc, sql, m_chemin);
    }
}

void Connexion::executerJet(const QString& sqlJet) {
    if (const auto modif = jet::lireModifColonne(sqlJet)) {
        jet::modifierColonne(*this, *modif);
        return;
    }
    Instruction(*this, jet::traduire(sqlJet)).executer();
}

QStringList Connexion::colonnes(const QString& table) const {
    QStringList noms;
    Instruction i(*this, QStringLiteral("SELECT name FROM pragma_table_info(?)"));
    i.lier(1, table);
    while (i.avancer()) {
        noms << i.colonneTexte(0);
    }
    return noms;
}

QStringList Connexion::typesColonnes(const QString& table) const {
    QStringList types;
    Instruction i(*this, QStringLiteral("SELECT type FROM pragma_table_info(?)"));
    i.lier(1, table);
    while (i.avancer()) {
        types << i.colonneTexte(0);
    }
    return types;
}

bool Connexion::tableExiste(const QString& table) const {
    Instruction i(*this,
                  QStringLiteral("SELECT 1 FROM sqlite_master WHERE type IN ('table','view') "
                                 "AND name = ? COLLATE NOCASE"));
    i.lier(1, table);
    return i.avancer();
}

QString Connexion::nomTable(const QString& table) const {
    Instruction i(*this, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND "
                                        "name = ? COLLATE NOCASE"));
    i.lier(1, table);
    return i.avancer() ? i.colonneTexte(0) : QString();
}

QString Connexion::collation(const QString& table, const QString& colonne) const {
    const char* sequence = nullptr;
    if (sqlite3_table_column_metadata(handle(), "main", table.toUtf8().constData(),
                                      colonne.toUtf8().constData(), nullptr, &sequence, nullptr,
                                      nullptr, nullptr) != SQLITE_OK ||
        !sequence) {
        return {};
    }
    return QString::fromUtf8(sequence);
}

qint64 Connexion::lignesModifiees() const {
    return sqlite3_changes64(handle());
}

// ---------------------------------------------------------------------------

void Instruction::Finalisation::operator()(sqlite3_stmt* stmt) const noexcept {
    sqlite3_finalize(stmt);
}

Instruction::Instruction(const Connexion& cn, const QString& sql) : m_db(cn.handle()), m_sql(sql) {
    const QByteArray utf8 = sql.toUtf8();
    sqlite3_stmt* stmt = nullptr;
    const int rc =
        sqlite3_prepare_v2(m_db, utf8.constData(), static_cast<int>(utf8.size()), &stmt, nullptr);
    m_stmt.reset(stmt);
    if (rc != SQLITE_OK) {
        lever(m_db, rc, sql, cheminDe(m_db));
    }
    if (!m_stmt) {
        throw ErreurStore(QStringLiteral("Requête vide."), SQLITE_MISUSE, SQLITE_MISUSE, sql);
    }
}

void Instruction::echec(int code) const {
    lever(m_db, code, m_sql, cheminDe(m_db));
}

Instruction& Instruction::lier(int index, const Valeur& v) {
    int rc = SQLITE_OK;
    switch (v.type()) {
        case Valeur::Type::Null:
            rc = sqlite3_bind_null(m_stmt.get(), index);
            break;
        case Valeur::Type::Entier:
            rc = sqlite3_bind_int64(m_stmt.get(), index, v.enEntier());
            break;
        case Valeur::Type::Reel:
            rc = sqlite3_bind_double(m_stmt.get(), index, v.enReel());
            break;
        case Valeur::Type::Texte:
            return lier(index, v.texte());
        case Valeur::Type::Date:
            return lier(index, dates::texteIso(v.serie()));
        case Valeur::Type::Octets: {
            const QByteArray o = v.enOctets();
            rc = sqlite3_bind_blob64(m_stmt.get(), index, o.constData(),
                                     static_cast<sqlite3_uint64>(o.size()), SQLITE_TRANSIENT);
            break;
        }
    }
    if (rc != SQLITE_OK) {
        echec(rc);
    }
    return *this;
}

Instruction& Instruction::lier(int index, const QString& texte) {
    // Bound as UTF-16 so that no conversion pass is needed on our side.
    const int rc = sqlite3_bind_text16(
        m_stmt.get(), index, texte.isNull() ? static_cast<const void*>(u"") : texte.utf16(),
        static_cast<int>(texte.size() * 2), SQLITE_TRANSIENT);
    if (rc != SQLITE_OK) {
        echec(rc);
    }
    return *this;
}

Instruction& Instruction::lierUtf8(int index, const QByteArray& utf8) {
    const int rc = sqlite3_bind_text64(m_stmt.get(), index, utf8.constData(),
                                       static_cast<sqlite3_uint64>(utf8.size()), SQLITE_TRANSIENT,
                                       SQLITE_UTF8);
    if (rc != SQLITE_OK) {
        echec(rc);
    }
    return *this;
}

Instruction& Instruction::lier(int index, qint64 entier) {
    const int rc = sqlite3_bind_int64(m_stmt.get(), index, entier);
    if (rc != SQLITE_OK) {
        echec(rc);
    }
    return *this;
}

bool Instruction::avancer() {
    const int rc = sqlite3_step(m_stmt.get());
    if (rc == SQLITE_ROW) {
        return true;
    }
    if (rc == SQLITE_DONE) {
        return false;
    }
    sqlite3_reset(m_stmt.get());
    echec(rc);
}

void Instruction::executer() {
    while (avancer()) {
    }
}

void Instruction::reinitialiser() {
    sqlite3_reset(m_stmt.get());
    sqlite3_clear_bindings(m_stmt.get());
}

int Instruction::nbColonnes() const {
    return sqlite3_column_count(m_stmt.get());
}

QString Instruction::nomColonne(int i) const {
    return QString::fromUtf8(sqlite3_column_name(m_stmt.get(), i));
}

QString Instruction::typeDeclare(int i) const {
    const char* t = sqlite3_column_decltype(m_stmt.get(), i);
    return t ? QString::fromUtf8(t) : QString();
}

Valeur Instruction::colonne(int i, bool date) const {
    switch (sqlite3_column_type(m_stmt.get(), i)) {
        case SQLITE_NULL:
            return {};
        case SQLITE_INTEGER:
            return Valeur::entier(sqlite3_column_int64(m_stmt.get(), i));
        case SQLITE_FLOAT:
            return date ? Valeur::date(sqlite3_column_double(m_stmt.get(), i))
                        : Valeur::reel(sqlite3_column_double(m_stmt.get(), i));
        case SQLITE_BLOB: {
            const void* o = sqlite3_column_blob(m_stmt.get(), i);
            const int n = sqlite3_column_bytes(m_stmt.get(), i);
            return Valeur::octets(QByteArray(static_cast<const char*>(o), n));
        }
        default: {
            const QString t = colonneTexte(i);
            if (date) {
                if (const auto s = dates::lireIso(t)) {
                    return Valeur::date(*s);
                }
            }
            return Valeur::texte(t);
        }
    }
}

qint64 Instruction::colonneEntier(int i) const {
    return sqlite3_column_int64(m_stmt.get(), i);
}

QString Instruction::colonneTexte(int i) const {
    const auto* u = static_cast<const char16_t*>(sqlite3_column_text16(m_stmt.get(), i));
    const int n = sqlite3_column_bytes16(m_stmt.get(), i);
    if (!u) {
        return sqlite3_column_type(m_stmt.get(), i) == SQLITE_NULL ? QString()
                                                                   : QString(QLatin1String(""));
    }
    return QString(reinterpret_cast<const QChar*>(u), n / 2);
}

std::optional<QByteArray> Instruction::colonneUtf8(int i) const {
    if (sqlite3_column_type(m_stmt.get(), i) != SQLITE_TEXT) {
        return std::nullopt;
    }
    const auto* o = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt.get(), i));
    return QByteArray(o, sqlite3_column_bytes(m_stmt.get(), i));
}

// ---------------------------------------------------------------------------

Transaction::Transaction(Connexion& cn) : m_cn(cn) {
    m_cn.executerSqlite(QStringLiteral("BEGIN IMMEDIATE"));
}

Transaction::~Transaction() {
    if (m_active && m_cn.ouverte()) {
        sqlite3_exec(m_cn.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    }
}

void Transaction::valider() {
    m_cn.executerSqlite(QStringLiteral("COMMIT"));
    m_active = false;
}

TransactionLecture::TransactionLecture(Connexion& cn) : m_cn(cn) {
    m_cn.executerSqlite(QStringLiteral("BEGIN"));
    try {
        // A deferred transaction starts at its first read: read the schema now.
        m_cn.executerSqlite(QStringLiteral("SELECT count(*) FROM sqlite_master"));
    } catch (const ErreurStore&) {
        sqlite3_exec(m_cn.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

TransactionLecture::~TransactionLecture() {
    if (m_active && m_cn.ouverte()) {
        // Nothing was written: ending it either way loses nothing.
        sqlite3* db = m_cn.handle();
        if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        }
    }
}

void TransactionLecture::terminer() {
    m_cn.executerSqlite(QStringLiteral("COMMIT"));
    m_active = false;
}

}  // namespace store
