#include "demo/Dates.h"

#include <QDate>
#include <cmath>

#include "store/Dates.h"

namespace demo {

QString texteDate(double serie) {
    if (serie < 0) {
        return store::dates::texteIso(serie);  // before 1899: rare, the slow way
    }
    static const qint64 jourZero = QDate(1899, 12, 30).toJulianDay();
    const double jours = std::floor(serie);
    int secondes = static_cast<int>(std::lround((serie - jours) * 86400));
    qint64 jour = static_cast<qint64>(jours);
    if (secondes >= 86400) {
        secondes -= 86400;
        ++jour;
    }
    int a = 0;
    int m = 0;
    int j = 0;
    QDate::fromJulianDay(jourZero + jour).getDate(&a, &m, &j);
    char texte[20];
    const int valeurs[6] = {a, m, j, secondes / 3600, secondes / 60 % 60, secondes % 60};
    const int largeurs[6] = {4, 2, 2, 2, 2, 2};
    const char separateurs[6] = {'-', '-', ' ', ':', ':', '\0'};
    int n = 0;
    for (int k = 0; k < 6; ++k) {
        int v = valeurs[k];
        for (int i = largeurs[k] - 1; i >= 0; --i) {
            texte[n + i] = static_cast<char>('0' + v % 10);
            v /= 10;
        }
        n += largeurs[k];
        texte[n++] = separateurs[k];
    }
    return QString::fromLatin1(texte, 19);
}

}  // namespace demo
