#include "demo/Notes.h"

#include <QFile>
#include <stdexcept>

#include "demo/Lexique.h"
#include "demo/Rtf.h"

namespace demo {

BilanNotes ecrireNotes(const QString& dossier, const std::vector<Client>& clients,
                       std::uint64_t graine) {
    Hasard h(graine, 3);
    BilanNotes bilan;
    for (const Client& c : clients) {
        if (!h.chance(0.10)) {
            continue;
        }
        const bool longue = h.chance(0.10);
        const int cible = longue ? h.entre(520, 1500) : h.entre(50, 400);
        QList<Paragraphe> paragraphes;
        Pioche phrasesNote(lexique::phrasesNote());
        while (longueurTexte(paragraphes) < cible) {
            Paragraphe p;
            if (h.chance(0.25)) {
                p.gras = h.parmi(lexique::etiquettes());
                p.tabulation = h.chance(0.2);
            }
            const int phrases = h.entre(1, 3);
            for (int i = 0; i < phrases; ++i) {
                const QString phrase = phrasesNote.tirer(h);
                if (!longue && longueurTexte(paragraphes) + p.texte.size() + phrase.size() > 480 &&
                    !p.texte.isEmpty()) {
                    break;
                }
                p.texte += (p.texte.isEmpty() ? QString() : QStringLiteral(" ")) + phrase;
            }
            paragraphes << p;
        }
        while (!longue && longueurTexte(paragraphes) > 480 && paragraphes.size() > 1) {
            paragraphes.removeLast();
        }
        const StyleRtf style = styleAuHasard(h);
        const double r = h.reel();
        const QString nom = r < 0.8    ? QStringLiteral("Cli%1.RTF").arg(c.code)
                            : r < 0.93 ? QStringLiteral("cli%1.rtf").arg(c.code)
                                       : QStringLiteral("Cli%1.rtf").arg(c.code);
        QFile f(dossier + u'/' + nom);
        const QByteArray contenu =
            (rtfRichEdit(paragraphes, style) + QStringLiteral("\r\n")).toLatin1();
        if (!f.open(QIODevice::WriteOnly) || f.write(contenu) != contenu.size()) {
            throw std::runtime_error(
                QStringLiteral("Impossible d'écrire la note %1.").arg(nom).toStdString());
        }
        ++bilan.fichiers;
        if (longueurTexte(paragraphes) > 500) {
            ++bilan.longues;
        }
    }
    return bilan;
}

}  // namespace demo
