#include "support/Dossier.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringDecoder>

#include "store/Journal.h"
#include "store/Schema.h"

namespace test {

Dossier::Dossier() {
    if (!m_dir.isValid()) {
        ADD_FAILURE() << "dossier temporaire impossible";
    }
}

QString Dossier::chemin(const QString& nom) const {
    return m_dir.filePath(nom);
}

store::Connexion Dossier::creerBase(const QString& nom) const {
    store::Connexion cn = store::Connexion::creer(chemin(nom));
    store::schema::creerTablesClients(cn);
    return cn;
}

void Dossier::copierCommunes() const {
    const QString source = QStringLiteral(VERIF_COMMUNES_MDB);
    if (!QFile::copy(source, chemin(QStringLiteral("communes.mdb")))) {
        ADD_FAILURE() << "copie impossible de " << source.toStdString();
    }
}

void Dossier::creerCommunes(const std::vector<std::pair<QString, QString>>& lignes) const {
    store::Connexion cn = store::Connexion::creer(chemin(QStringLiteral("communes.mdb")));
    store::schema::creerTableCommunes(cn);
    store::Instruction i(cn, QStringLiteral("INSERT INTO communes VALUES (?, ?)"));
    for (const auto& [cp, ville] : lignes) {
        i.reinitialiser();
        i.lier(1, cp).lier(2, ville).executer();
    }
}

void Dossier::ecrire(const QString& nom, const QByteArray& contenu) const {
    QFile f(chemin(nom));
    if (!f.open(QIODevice::WriteOnly) || f.write(contenu) != contenu.size()) {
        ADD_FAILURE() << "écriture impossible de " << nom.toStdString();
    }
}

QByteArray Dossier::lire(const QString& nom) const {
    QFile f(chemin(nom));
    if (!f.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "lecture impossible de " << nom.toStdString();
        return {};
    }
    return f.readAll();
}

bool Dossier::existe(const QString& nom) const {
    return QFileInfo::exists(chemin(nom));
}

namespace {

bool immuable(const QString& chemin, bool oui) {
    const int fd = ::open(QFile::encodeName(chemin).constData(), O_RDONLY | O_NONBLOCK);
    if (fd < 0) {
        return false;
    }
    int drapeaux = 0;
    bool fait = ::ioctl(fd, FS_IOC_GETFLAGS, &drapeaux) == 0;
    if (fait) {
        drapeaux = oui ? drapeaux | FS_IMMUTABLE_FL : drapeaux & ~FS_IMMUTABLE_FL;
        fait = ::ioctl(fd, FS_IOC_SETFLAGS, &drapeaux) == 0;
    }
    ::close(fd);
    return fait;
}

}  // namespace

Protection::Protection(const QString& chemin) : m_chemin(chemin) {
    if (::geteuid() == 0) {
        m_active = immuable(chemin, true);
    } else {
        m_active = QFile::setPermissions(chemin, QFileInfo(chemin).isDir()
                                                     ? QFile::ReadOwner | QFile::ExeOwner
                                                     : QFile::ReadOwner);
    }
}

Protection::~Protection() {
    if (!m_active) {
        return;
    }
    if (::geteuid() == 0) {
        immuable(m_chemin, false);
    } else {
        QFile::setPermissions(m_chemin, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
}

void inserer(store::Connexion& cn, const QString& table, const Champs& champs) {
    QStringList noms;
    QStringList marques;
    for (auto it = champs.begin(); it != champs.end(); ++it) {
        noms << store::citer(it.key());
        marques << QStringLiteral("?");
    }
    store::Instruction i(cn, QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                 .arg(store::citer(table), noms.join(u','), marques.join(u',')));
    int n = 1;
    for (auto it = champs.begin(); it != champs.end(); ++it) {
        i.lier(n++, it.value());
    }
    i.executer();
}

QString echec(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& e) {
        return QString::fromStdString(e.what());
    }
    ADD_FAILURE() << "aucune erreur";
    return {};
}

QString texte(const store::Valeur& v) {
    return v.estNull() ? QStringLiteral("<Null>") : v.texte();
}

QStringList lignes(const store::Connexion& cn, const QString& sql) {
    QStringList l;
    store::Instruction i(cn, sql);
    while (i.avancer()) {
        QStringList colonnes;
        for (int c = 0; c < i.nbColonnes(); ++c) {
            colonnes << texte(i.colonne(c));
        }
        l << colonnes.join(u'|');
    }
    return l;
}

qint64 nombre(const store::Connexion& cn, const QString& sql) {
    store::Instruction i(cn, sql);
    return i.avancer() ? i.colonneEntier(0) : -1;
}

QStringList journal(const store::Connexion& cn) {
    QStringList l;
    for (const auto& e : store::journal::lire(cn)) {
        l << QStringList{e.operation, e.table,        texte(e.cle),
                         e.colonne,   texte(e.avant), texte(e.apres)}
                 .join(u'|');
    }
    return l;
}

QStringList lignesExport(const QByteArray& octets) {
    EXPECT_TRUE(octets.startsWith("\xFF\xFE"));
    EXPECT_TRUE(octets.endsWith(QByteArray("\r\0\n\0", 4)));
    QString texte = QStringDecoder(QStringConverter::Utf16LE).decode(octets.mid(2));
    texte.chop(2);
    return texte.split(QStringLiteral("\r\n"));
}

QByteArray vidage(const QString& base) {
    QProcess p;
    p.start(QStringLiteral("sqlite3"), {QStringLiteral("-readonly"), base,
                                        QStringLiteral(".dump --preserve-rowids FCLI FTEC FCONS")});
    p.waitForFinished();
    return p.readAllStandardOutput();
}

}  // namespace test
