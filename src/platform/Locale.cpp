#include "platform/Locale.h"

#include <optional>

namespace platform {

namespace {
std::optional<QLocale>& localeFixee() {
    static std::optional<QLocale> locale;
    return locale;
}
}  // namespace

QLocale localeTravail() {
    if (localeFixee()) {
        return *localeFixee();
    }
    QLocale systeme = QLocale::system();
    if (systeme.language() == QLocale::C) {
        systeme = QLocale(QLocale::French, QLocale::France);
    }
    systeme.setNumberOptions(QLocale::OmitGroupSeparator);
    return systeme;
}

void fixerLocaleTravail(const QLocale& locale) {
    QLocale l = locale;
    l.setNumberOptions(QLocale::OmitGroupSeparator);
    localeFixee() = l;
}

void oublierLocaleTravail() {
    localeFixee().reset();
}

}  // namespace platform
