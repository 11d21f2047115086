#pragma once

#include <QString>

namespace demo {

// The stored text of a day serial, "YYYY-MM-DD HH:MM:SS", as store::dates::texteIso
// writes it but without going through the local time zone: a benchmark writes
// half a million of them.
QString texteDate(double serie);

}  // namespace demo
