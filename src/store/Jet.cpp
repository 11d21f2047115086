#include "store/Jet.h"

#include <QDate>
#include <QRegularExpression>
#include <QTime>

#include "store/Connexion.h"
#include "store/Erreur.h"

namespace store::jet {

namespace {

// "03/15/2005", "3,15,2005", "03/15/2005 10:30:00", "2005-03-15".
QString dateSqlite(const QString& litteral, const QString& sql) {
    static const QRegularExpression mjA(QStringLiteral(
        R"(^\s*(\d{1,2})\s*[/,\-]\s*(\d{1,2})\s*[/,\-]\s*(\d{2}|\d{4})(?:\s+(\d{1,2}):(\d{2})(?::(\d{2}))?\s*([AaPp][Mm])?)?\s*$)"));
    static const QRegularExpression amj(QStringLiteral(
        R"(^\s*(\d{4})\s*[/\-]\s*(\d{1,2})\s*[/\-]\s*(\d{1,2})(?:\s+(\d{1,2}):(\d{2})(?::(\d{2}))?)?\s*$)"));
    int annee = 0;
    int mois = 0;
    int jour = 0;
    int h = 0;
    int mi = 0;
    int s = 0;
    QRegularExpressionMatch m = mjA.match(litteral);
    if (m.hasMatch()) {
        mois = m.captured(1).toInt();
        jour = m.captured(2).toInt();
        annee = m.captured(3).toInt();
        if (m.captured(3).size() == 2) {
            // Two-digit years as Windows reads them: 00-29 in this century.
            annee += annee < 30 ? 2000 : 1900;
        }
    } else if (m = amj.match(litteral); m.hasMatch()) {
        annee = m.captured(1).toInt();
        mois = m.captured(2).toInt();
        jour = m.captured(3).toInt();
    }
    if (m.hasMatch() && !m.captured(4).isEmpty()) {
        h = m.captured(4).toInt();
        mi = m.captured(5).toInt();
        s = m.captured(6).isEmpty() ? 0 : m.captured(6).toInt();
        if (m.lastCapturedIndex() >= 7 && !m.captured(7).isEmpty()) {
            const bool pm = m.captured(7).startsWith(u'p', Qt::CaseInsensitive);
            if (h == 12) {
                h = 0;
            }
            if (pm) {
                h += 12;
            }
        }
    }
    const QDate date(annee, mois, jour);
    const QTime heure(h, mi, s);
    if (!m.hasMatch() || !date.isValid() || !heure.isValid()) {
        throw ErreurStore(QStringLiteral("Date invalide dans la requête : #%1#").arg(litteral), 0,
                          0, sql);
    }
    return u'\'' + date.toString(QStringLiteral("yyyy-MM-dd")) + u' ' +
           heure.toString(QStringLiteral("HH:mm:ss")) + u'\'';
}

// Index just past a quoted run that starts at `debut` with `fin` closing it;
// a doubled closing character stays inside.
qsizetype finCitation(const QString& sql, qsizetype debut, QChar fin) {
    qsizetype i = debut + 1;
    while (i < sql.size()) {
        if (sql[i] == fin) {
            if (fin != u']' && i + 1 < sql.size() && sql[i + 1] == fin) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return sql.size();
}

}  // namespace

QString traduire(const QString& sqlJet) {
    QString sortie;
    sortie.reserve(sqlJet.size() + 16);
    qsizetype i = 0;
    while (i < sqlJet.size()) {
        const QChar c = sqlJet[i];
        if (c == u'\'' || c == u'"' || c == u'[') {
            const qsizetype fin = finCitation(sqlJet, i, c == u'[' ? QChar(u']') : c);
            sortie += QStringView(sqlJet).mid(i, fin - i);
            i = fin;
        } else if (c == u'#') {
            const qsizetype fin = sqlJet.indexOf(u'#', i + 1);
            if (fin < 0) {
                throw ErreurStore(QStringLiteral("Date sans « # » fermant dans la requête."), 0, 0,
                                  sqlJet);
            }
            sortie += dateSqlite(sqlJet.mid(i + 1, fin - i - 1), sqlJet);
            i = fin + 1;
        } else {
            sortie += c;
            ++i;
        }
    }
    // DELETE T.* FROM / DELETE * FROM: only at the head, never inside a literal.
    static const QRegularExpression suppression(
        QStringLiteral(
            R"(^(\s*DELETE)\s+(?:(?:\[[^\]]*\]|"[^"]*"|[^\s.*]+)\s*\.\s*)?\*\s+(FROM\b))"),
        QRegularExpression::CaseInsensitiveOption);
    sortie.replace(suppression, QStringLiteral("\\1 \\2"));
    return sortie;
}

QString sansCrochets(QString nom) {
    nom = nom.trimmed();
    if (nom.size() >= 2 && ((nom.startsWith(u'[') && nom.endsWith(u']')) ||
                            (nom.startsWith(u'"') && nom.endsWith(u'"')))) {
        nom = nom.mid(1, nom.size() - 2);
    }
    return nom;
}

std::optional<Lecture> traduireLecture(const QString& sqlJet, const Connexion& cn) {
    Lecture l{traduire(sqlJet).trimmed(), {}};
    static const QRegularExpression lit(QStringLiteral(R"(^(SELECT|WITH|VALUES|PRAGMA)\b)"),
                                        QRegularExpression::CaseInsensitiveOption);
    if (!lit.match(l.sql).hasMatch()) {
        return std::nullopt;
    }
    static const QRegularExpression simple(
        QStringLiteral(
            R"(^SELECT\s+(?!DISTINCT\b)(.+?)\s+FROM\s+(\[[^\]]+\]|"[^"]+"|[^\s,();]+)\s*((?:WHERE|ORDER)\b.*)?$)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression jointure(QStringLiteral(R"(\b(JOIN|UNION|GROUP)\b)"),
                                             QRegularExpression::CaseInsensitiveOption);
    if (const auto m = simple.match(l.sql); m.hasMatch() && !jointure.match(l.sql).hasMatch()) {
        l.table = cn.nomTable(sansCrochets(m.captured(2)));
        if (!l.table.isEmpty()) {
            l.sql =
                QStringLiteral("SELECT rowid AS \"__verif_cle\", ") + l.sql.mid(m.capturedStart(1));
        }
    }
    return l;
}

std::optional<ModifColonne> lireModifColonne(const QString& sqlJet) {
    static const QRegularExpression alter(
        QStringLiteral(
            R"(^\s*ALTER\s+TABLE\s+(\[[^\]]+\]|\S+)\s+ALTER\s+COLUMN\s+(\[[^\]]+\]|\S+)\s+(TEXT|CHAR|VARCHAR)\s*\(\s*(\d+)\s*\)\s*;?\s*$)"),
        QRegularExpression::CaseInsensitiveOption);
    const auto m = alter.match(sqlJet);
    if (!m.hasMatch()) {
        return std::nullopt;
    }
    auto nu = [](QString nom) {
        if (nom.startsWith(u'[') && nom.endsWith(u']')) {
            nom = nom.mid(1, nom.size() - 2);
        }
        return nom;
    };
    return ModifColonne{nu(m.captured(1)), nu(m.captured(2)),
                        QStringLiteral("TEXT(%1)").arg(m.captured(4).toInt())};
}

namespace {

// Splits the body of a CREATE TABLE at its top-level commas.
QStringList definitions(const QString& corps) {
    QStringList parts;
    int profondeur = 0;
    qsizetype debut = 0;
    qsizetype i = 0;
    while (i < corps.size()) {
        const QChar c = corps[i];
        if (c == u'\'' || c == u'"' || c == u'`') {
            i = finCitation(corps, i, c);
            continue;
        }
        if (c == u'[') {
            i = finCitation(corps, i, u']');
            continue;
        }
        if (c == u'(') {
            ++profondeur;
        } else if (c == u')') {
            --profondeur;
        } else if (c == u',' && profondeur == 0) {
            parts << corps.mid(debut, i - debut);
            debut = i + 1;
        }
        ++i;
    }
    parts << corps.mid(debut);
    return parts;
}

// The column name at the head of a definition, unquoted, and where it ends.
QString nomEnTete(const QString& def, qsizetype& fin) {
    qsizetype i = 0;
    while (i < def.size() && def[i].isSpace()) {
        ++i;
    }
    if (i >= def.size()) {
        fin = i;
        return {};
    }
    const QChar c = def[i];
    if (c == u'"' || c == u'`' || c == u'[') {
        const QChar ferme = c == u'[' ? QChar(u']') : c;
        fin = finCitation(def, i, ferme);
        QString nom = def.mid(i + 1, fin - i - 2);
        if (ferme != u']') {
            nom.replace(QString(2, ferme), QString(ferme));
        }
        return nom;
    }
    qsizetype j = i;
    while (j < def.size() && !def[j].isSpace()) {
        ++j;
    }
    fin = j;
    return def.mid(i, j - i);
}

}  // namespace

void modifierColonne(Connexion& cn, const ModifColonne& modif) {
    Instruction lecture(cn, QStringLiteral("SELECT name, sql FROM sqlite_master WHERE type = "
                                           "'table' AND name = ? COLLATE NOCASE"));
    lecture.lier(1, modif.table);
    if (!lecture.avancer()) {
        throw ErreurStore(QStringLiteral("La table « %1 » est introuvable.").arg(modif.table), 0, 0,
                          QStringLiteral("ALTER TABLE %1").arg(modif.table));
    }
    const QString table = lecture.colonneTexte(0);
    const QString creation = lecture.colonneTexte(1);
    // A statement still reading the schema would lock the table we drop.
    lecture.reinitialiser();
    const qsizetype ouvre = creation.indexOf(u'(');
    const qsizetype ferme = creation.lastIndexOf(u')');
    if (ouvre < 0 || ferme < ouvre) {
        throw ErreurStore(QStringLiteral("Structure de la table « %1 » illisible.").arg(table));
    }
    QStringList defs = definitions(creation.mid(ouvre + 1, ferme - ouvre - 1));

    static const QRegularExpression contrainte(
        QStringLiteral(
            R"(\b(CONSTRAINT|PRIMARY|NOT|NULL|UNIQUE|CHECK|DEFAULT|COLLATE|REFERENCES|GENERATED|AS)\b)"),
        QRegularExpression::CaseInsensitiveOption);
    bool trouvee = false;
    for (QString& def : defs) {
        qsizetype fin = 0;
        const QString nom = nomEnTete(def, fin);
        if (nom.compare(modif.colonne, Qt::CaseInsensitive) != 0) {
            continue;
        }
        trouvee = true;
        const QString reste = def.mid(fin);
        const auto m = contrainte.match(reste);
        const QString contraintes = m.hasMatch() ? reste.mid(m.capturedStart()) : QString();
        const QString typeActuel = (m.hasMatch() ? reste.left(m.capturedStart()) : reste).trimmed();
        if (typeActuel.compare(modif.type, Qt::CaseInsensitive) == 0) {
            // Already text of this width: every value already has text affinity.
            return;
        }
        QString nouvelle = citer(nom) + u' ' + modif.type;
        // Text in the salon's files compares without regard to letter case.
        if (!contraintes.contains(QLatin1String("COLLATE"), Qt::CaseInsensitive)) {
            nouvelle += QStringLiteral(" COLLATE NOCASE");
        }
        if (!contraintes.isEmpty()) {
            nouvelle += u' ' + contraintes.trimmed();
        }
        def = nouvelle;
    }
    if (!trouvee) {
        throw ErreurStore(QStringLiteral("La colonne « %1 » est introuvable dans la table « %2 ».")
                              .arg(modif.colonne, table));
    }

    // Indexes and triggers go with the old table: keep their text to restore them.
    QStringList annexes;
    {
        Instruction i(cn, QStringLiteral("SELECT sql FROM sqlite_master WHERE tbl_name = ? AND "
                                         "type IN ('index','trigger') AND sql IS NOT NULL"));
        i.lier(1, table);
        while (i.avancer()) {
            annexes << i.colonneTexte(0);
        }
    }
    const QString provisoire = table + QStringLiteral("__verif_nouvelle");
    cn.executerSqlite(QStringLiteral("PRAGMA legacy_alter_table=ON"));
    try {
        Transaction t(cn);
        cn.executerSqlite(QStringLiteral("DROP TABLE IF EXISTS %1").arg(citer(provisoire)));
        cn.executerSqlite(
            QStringLiteral("CREATE TABLE %1 (%2)").arg(citer(provisoire), defs.join(u',')));
        // Row ids are carried over so that the table keeps its one stable order.
        QStringList cols;
        for (const QString& c : cn.colonnes(table)) {
            cols << citer(c);
        }
        const QString liste = cols.join(u',');
        cn.executerSqlite(QStringLiteral("INSERT INTO %1 (rowid,%2) SELECT rowid,%2 FROM %3")
                              .arg(citer(provisoire), liste, citer(table)));
        cn.executerSqlite(QStringLiteral("DROP TABLE %1").arg(citer(table)));
        cn.executerSqlite(
            QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(citer(provisoire), citer(table)));
        for (const QString& sql : annexes) {
            cn.executerSqlite(sql);
        }
        t.valider();
    } catch (...) {
        // The failure to tell is the first one, never one of this clean-up.
        try {
            cn.executerSqlite(QStringLiteral("PRAGMA legacy_alter_table=OFF"));
        } catch (const ErreurStore&) {
        }
        throw;
    }
    cn.executerSqlite(QStringLiteral("PRAGMA legacy_alter_table=OFF"));
}

}  // namespace store::jet
