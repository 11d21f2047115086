// libFuzzer entry: any bytes, as a note file or as an RTF document.
#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "platform/Rtf.h"

namespace {

[[noreturn]] void echec(const char* quoi) {
    std::fprintf(stderr, "fuzz_rtf : %s\n", quoi);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t taille) {
    const QByteArray octets = QByteArray::fromRawData(reinterpret_cast<const char*>(data),
                                                      static_cast<qsizetype>(taille));

    const QString texte = platform::texteRtf(octets);
    // No byte gives more than one character of text.
    if (texte.size() > octets.size()) {
        echec("texte plus long que le document");
    }
    // A cut document gives the beginning of the whole document's text.
    if (!texte.startsWith(platform::texteRtf(octets.left(octets.size() / 2)))) {
        echec("le début du document ne donne pas le début du texte");
    }

    const QString note = platform::texteNote(octets);
    if (note.size() > 2 * octets.size()) {
        echec("note plus longue que deux caractères par octet");
    }
    return 0;
}
