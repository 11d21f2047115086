#pragma once

#include <QByteArray>
#include <QLocale>
#include <QString>
#include <variant>

namespace store {

// One field value as the callers see it: Null (distinct from empty text), a
// whole number, a real, a text, a date (day serial) or raw bytes.
class Valeur {
public:
    enum class Type { Null, Entier, Reel, Texte, Date, Octets };

    Valeur() = default;
    Valeur(const QString& texte) : m_v(texte) {}  // NOLINT: a text is a value
    Valeur(const char16_t* texte) : m_v(QString::fromUtf16(texte)) {}  // NOLINT

    static Valeur entier(qint64 v);
    static Valeur reel(double v);
    static Valeur texte(const QString& v);
    static Valeur date(double serie);
    static Valeur octets(const QByteArray& v);

    Type type() const { return static_cast<Type>(m_v.index()); }
    bool estNull() const { return type() == Type::Null; }
    bool estTexte() const { return type() == Type::Texte; }
    bool estDate() const { return type() == Type::Date; }
    bool estNombre() const { return type() == Type::Entier || type() == Type::Reel; }

    qint64 enEntier() const;  // Entier; Reel and Date rounded; 0 otherwise
    double enReel() const;    // Entier, Reel, Date serial; 0 otherwise
    double serie() const { return enReel(); }
    QByteArray enOctets() const;

    // Default text form, in the working locale (platform::localeTravail):
    // Null gives the empty text, dates the short date with the time when not
    // midnight, numbers the locale's decimal sign without grouping.
    QString texte() const;
    QString texte(const QLocale& locale) const;

    // Same type and same content (a text "5" is not the number 5).
    friend bool operator==(const Valeur& a, const Valeur& b);

private:
    struct Date {
        double serie;
        bool operator==(const Date&) const = default;
    };
    std::variant<std::monostate, qint64, double, QString, Date, QByteArray> m_v;
};

}  // namespace store
