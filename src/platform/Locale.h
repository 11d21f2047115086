#pragma once

#include <QLocale>

namespace platform {

// The locale that gives values their default text form (dates, numbers):
// the system's, or French when the system has none (C or POSIX).
QLocale localeTravail();

// Tests and the batch mode may fix it; an unset QLocale() returns to the system's.
void fixerLocaleTravail(const QLocale& locale);
void oublierLocaleTravail();

}  // namespace platform
