#include "store/Valeur.h"

#include <cmath>

#include "platform/Locale.h"
#include "store/Dates.h"

namespace store {

Valeur Valeur::entier(qint64 v) {
    Valeur r;
    r.m_v = v;
    return r;
}

Valeur Valeur::reel(double v) {
    Valeur r;
    r.m_v = v;
    return r;
}

Valeur Valeur::texte(const QString& v) {
    Valeur r;
    r.m_v = v;
    return r;
}

Valeur Valeur::date(double serie) {
    Valeur r;
    r.m_v = Date{serie};
    return r;
}

Valeur Valeur::octets(const QByteArray& v) {
    Valeur r;
    r.m_v = v;
    return r;
}

qint64 Valeur::enEntier() const {
    switch (type()) {
        case Type::Entier:
            return std::get<qint64>(m_v);
        case Type::Reel:
            return std::llround(std::get<double>(m_v));
        case Type::Date:
            return std::llround(std::get<Date>(m_v).serie);
        default:
            return 0;
    }
}

double Valeur::enReel() const {
    switch (type()) {
        case Type::Entier:
            return static_cast<double>(std::get<qint64>(m_v));
        case Type::Reel:
            return std::get<double>(m_v);
        case Type::Date:
            return std::get<Date>(m_v).serie;
        default:
            return 0.0;
    }
}

QByteArray Valeur::enOctets() const {
    if (type() == Type::Octets) {
        return std::get<QByteArray>(m_v);
    }
    return texte().toUtf8();
}

QString Valeur::texte() const {
    switch (type()) {
        case Type::Null:
            return {};
        case Type::Texte:
            return std::get<QString>(m_v);
        case Type::Entier:
            return QString::number(std::get<qint64>(m_v));
        default:
            return texte(platform::localeTravail());
    }
}

QString Valeur::texte(const QLocale& locale) const {
    switch (type()) {
        case Type::Null:
            return {};
        case Type::Entier:
            return QString::number(std::get<qint64>(m_v));
        case Type::Reel: {
            QLocale l = locale;
            l.setNumberOptions(QLocale::OmitGroupSeparator);
            // Fifteen significant digits, as many as a double carries faithfully: 0.1
            // reads "0,1", not "0,10000000000000001".
            QString t = l.toString(std::get<double>(m_v), 'g', 15);
            return t;
        }
        case Type::Texte:
            return std::get<QString>(m_v);
        case Type::Date:
            return dates::texteLocal(std::get<Date>(m_v).serie, locale);
        case Type::Octets:
            return {};
    }
    return {};
}

bool operator==(const Valeur& a, const Valeur& b) {
    return a.m_v == b.m_v;
}

}  // namespace store
