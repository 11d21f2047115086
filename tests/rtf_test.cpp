#include <gtest/gtest.h>

#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <ostream>
#include <random>
#include <vector>

#include "platform/ErreurFichier.h"
#include "platform/Rtf.h"
#include "support/Dossier.h"

namespace {

struct Cas {
    const char* rtf;
    const char* texte;  // UTF-8
};

void verifier(const Cas* debut, const Cas* fin) {
    for (const Cas* c = debut; c != fin; ++c) {
        SCOPED_TRACE(c->rtf);
        EXPECT_EQ(platform::texteRtf(QByteArray(c->rtf)), QString::fromUtf8(c->texte));
    }
}

template <std::size_t N>
void verifier(const Cas (&cas)[N]) {
    verifier(cas, cas + N);
}

QByteArray repeter(const char* motif, int fois) {
    return QByteArray(motif).repeated(fois);
}

TEST(Rtf, NotesCommeLesEcriventLesTraitementsDeTexte) {
    const Cas cas[] = {
        {"{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1036{\\fonttbl{\\f0\\fswiss\\fcharset0 "
         "Arial;}}{\\*\\generator Riched20 10.0.19041}\\viewkind4\\uc1 \\pard\\f0\\fs20 Cliente "
         "fid\\'e8le, couleur 6.1\\par Allergie : \\'e0 v\\'e9rifier\\par }",
         "Cliente fidèle, couleur 6.1\r\nAllergie : à vérifier"},
        // Older control: no code page, several fonts, CR LF between the lines of the file.
        {"{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fswiss MS Sans Serif;}{\\f1\\froman"
         "\\fcharset2 Symbol;}{\\f2\\fswiss\\fprq2 Arial;}}\r\n{\\colortbl\\red0\\green0\\blue0;}"
         "\r\n\\deflang1036\\pard\\plain\\f2\\fs20 Rendez-vous annul\\'e9\\par\r\n\\plain\\f2\\fs20"
         "\\b Pr\\'e9f\\'e8re\\plain\\f2\\fs20  le samedi\\par\r\n}\r\n",
         "Rendez-vous annulé\r\nPréfère le samedi"},
        // Bulleted list: the bullets are paragraph formatting, not text.
        {"{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1036{\\fonttbl{"
         "\\f0\\fnil\\fcharset0 "
         "Calibri;}{\\f1\\fnil\\fcharset2 Symbol;}}\r\n{\\*\\generator Riched20 "
         "10.0.19041}\\viewkind4\\uc1 \r\n\\pard{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1"
         "\\pnindent0{\\pntxtb\\'B7}}\\fi-360\\li720\\sa200\\sl276\\slmult1\\f0\\fs22\\lang12 "
         "Shampoing doux\\par\r\n{\\pntext\\f1\\'B7\\tab}Soin \\u8211? 15 min\\par\r\n\\pard"
         "\\sa200\\sl276\\slmult1 Fin\\par\r\n}\r\n",
         "Shampoing doux\r\nSoin – 15 min\r\nFin"},
        // A word processor's header: styles, document information, revision ids,
        // page header and footer.
        {"{\\rtf1\\adeflang1025\\ansi\\ansicpg1252\\uc1\\adeff0\\deff0{\\fonttbl{\\f0\\froman"
         "\\fcharset0\\fprq2{\\*\\panose 02020603050405020304}Times New Roman;}}{\\colortbl;\\red0"
         "\\green0\\blue0;}{\\stylesheet{\\ql \\li0\\ri0\\widctlpar\\f0\\fs24\\lang1036 \\snext0 "
         "Normal;}}{\\info{\\title Note}{\\author "
         "Salon}{\\creatim\\yr2004\\mo3\\dy15}}{\\*\\rsidtbl "
         "\\rsid123}{\\header \\pard\\plain Ent\\'eate\\par}{\\footer \\pard "
         "Pied\\par}\\pard\\plain "
         "\\ql \\f0\\fs24 M\\'e8ches {\\b blondes}\\~: 30\\~min\\par}",
         "Mèches blondes\u00A0: 30\u00A0min"},
    };
    verifier(cas);
}

TEST(Rtf, CaracteresEchappesEtUnicode) {
    const Cas cas[] = {
        {"{\\rtf1 \\'e9t\\'E9 \\'80 \\'9c}", "été € œ"},
        {"{\\rtf1 \\u-3913?}", "\uF0B7"},
        {"{\\rtf1 \\u-10179?\\u-8694?!}", "😊!"},
        {"{\\rtf1 \\u55357?\\u56842?}", "😊"},
        // A value that is no character on its own: the replacement character.
        {"{\\rtf1 \\u-10179?a}", "\uFFFDa"},
        {"{\\rtf1 \\u-8694?a}", "\uFFFDa"},
        {"{\\rtf1 \\u-10179?\\u-10179?\\u-8694?}", "\uFFFD😊"},
        {"{\\rtf1 a\\u-10179?\\par}", "a\uFFFD"},
        {"{\\rtf1 \\u-10179?}", "\uFFFD"},
        {"{\\rtf1 \\u99999999999 ?x\\u-99999999999 ?y}", "\uFFFDx\uFFFDy"},
        {"{\\rtf1 \\u65536?\\u-32769?\\u65535?\\u-32768?}", "\uFFFD\uFFFD\uFFFF\u8000"},
        {"{\\rtf1 \\u8364\\'80 HT}", "€ HT"},
        {"{\\rtf1 \\uc2\\u8364\\'80\\'80x}", "€x"},
        {"{\\rtf1 \\uc0\\u8364 x}", "€x"},
        // \uc is scoped like character formatting; a group boundary ends the fallback.
        {"{\\rtf1 {\\uc2\\u8364 ab}\\u8364?c}", "€€c"},
        {"{\\rtf1 \\uc3\\u233{x}y}", "éxy"},
        {"{\\rtf1 a\\tab b\\line c\\par d}", "a\tb\r\nc\r\nd"},
        {"{\\rtf1 \\~\\-\\_|\\emdash\\endash\\emspace\\enspace}", "\u00A0\u2011|—–\u2003\u2002"},
        {"{\\rtf1 \\\\ \\{ \\}}", "\\ { }"},
        // The space that ends a control word is not text; the next one is.
        {"{\\rtf1 \\b gras\\b0  normal}", "gras normal"},
        {"{\\rtf1 \\fs20\\i x\\i0\\'41-\\b-1y}", "xA-y"},
        // Line breaks of the file are not text; a backslash before one is a paragraph.
        {"{\\rtf1 a\r\nb\rc\nd\\\ne\\\r\nf}", "abcd\r\ne\r\nf"},
        {"{\\rtf1 a\\bin5 {}\\}zb}", "ab"},
        {"{\\rtf1 \\motinconnu12 x\\abcdefghijklmnopqrstuvwxyzabcdefghijkl y}", "xy"},
    };
    verifier(cas);
    // NUL and other control bytes in the text are dropped.
    const char avecNul[] = "{\\rtf1 a\0b\x01\tc}";
    EXPECT_EQ(platform::texteRtf(QByteArray(avecNul, sizeof avecNul - 1)), QStringLiteral("ab\tc"));
}

TEST(Rtf, PagesDeCode) {
    if (!QStringDecoder("windows-1251").isValid() || !QStringDecoder("windows-932").isValid()) {
        GTEST_SKIP() << "Qt sans décodeurs Windows";
    }
    const Cas cas[] = {
        {"{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2}", "Привет"},
        // A font's character set wins over the document's code page.
        {"{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fcharset0 Arial;}{\\f1\\fcharset204 "
         "Arial Cyr;}}\\f0 \\'e9{\\f1 \\'e9}\\'e9\\f1\\'e9\\plain\\'e9}",
         "éйéйé"},
        {"{\\rtf1\\ansi\\deff1{\\fonttbl{\\f0 A;}{\\f1\\fcharset238 B;}}\\'b9}", "ą"},
        // Double-byte code page: escaped lead byte, raw or escaped trail byte.
        {"{\\rtf1\\ansi\\ansicpg932 \\'82\\'a0\\'82\\'a2 \\'93\\'fa}", "あい 日"},
        {"{\\rtf1\\ansi\\ansicpg932 \\'83@x}", "ァx"},
        // Unknown code page: read as Windows-1252.
        {"{\\rtf1\\ansi\\ansicpg99999 \\'e9}", "é"},
        {"{\\urtf1{\\fonttbl{\\f0\\fcharset0 Arial;}}\\f0 caf\xc3\xa9\\par}", "café"},
    };
    verifier(cas);
}

// One of each kind the reader skips: its own list of destinations, any
// starred one, pictures (hexadecimal or binary), objects.
TEST(Rtf, DestinationsSansTexte) {
    const char* const destinations[] = {
        "\\fonttbl{\\f0\\fswiss Arial;}",
        "\\info{\\title Titre}{\\author Moi}",
        "\\*\\generator Msftedit 5.41.21.2510;",
        "\\*\\motinconnu texte {imbrique}",
        "\\pict\\wmetafile8\\picw100 0123456789abcdef",
        "\\pict\\bin6 }}{{\\\\",
        "\\object\\objemb{\\*\\objclass Paint}{\\*\\objdata 0102}",
        "\\header Entete",
        "\\*\\listtable{\\list{\\listlevel{\\leveltext\\'01\\u-3913 ?;}}}",
        "\\pntext\\f1\\'B7\\tab",
        "\\nonshppict{\\pict 00}",
        "\\upr{ansi}",
    };
    for (const char* destination : destinations) {
        const QByteArray rtf = QByteArray("{\\rtf1 avant{") + destination + "}apr\\'e8s\\par}";
        SCOPED_TRACE(rtf.toStdString());
        EXPECT_EQ(platform::texteRtf(rtf), QStringLiteral("avantaprès"));
    }

    // What stays: the result of a field or an object, the Unicode copy of a text.
    const Cas cas[] = {
        {"{\\rtf1 Voir {\\field{\\*\\fldinst HYPERLINK \"http://salon\"}{\\fldrslt {\\ul le "
         "site}}}.}",
         "Voir le site."},
        {"{\\rtf1 Page {\\field{\\fldinst PAGE}{\\fldrslt 3}}}", "Page 3"},
        {"{\\rtf1 {\\object\\objemb{\\*\\objclass Equation}{\\*\\objdata 01}{\\result x{\\pict "
         "00}=2}}}",
         "x=2"},
        {"{\\rtf1 {\\upr{ansi}{\\*\\ud{unic\\u246?de}}}}", "unicöde"},
    };
    verifier(cas);
}

TEST(Rtf, LeDernierParagrapheNeDonnePasDeSautDeLigne) {
    const Cas cas[] = {
        {"{\\rtf1 A\\par B\\par }", "A\r\nB"},
        {"{\\rtf1 A\\par\\par }", "A\r\n"},
        {"{\\rtf1 A\\par\\pard\\plain\\f0 {\\b}{\\*\\x y}}", "A"},
        {"{\\rtf1 {A\\par}}", "A"},
        {"{\\rtf1 A\\sect }", "A"},
        {"{\\rtf1 A\\line }", "A\r\n"},
        {"{\\rtf1 A\\par\\tab}", "A\r\n\t"},
        {"{\\rtf1 \\par }", ""},
        {"{\\rtf1 }", ""},
    };
    verifier(cas);
}

TEST(Rtf, DocumentsAbimes) {
    const Cas cas[] = {
        {"{\\rtf1 A}}B}", "A"},
        {"{\\rtf1 {A}}}B}", "A"},
        {"{\\rtf1 {\\b A", "A"},
        {"xx{\\rtf1 A}", "A"},
        {"{\\rtf1 A\\", "A"},
        {"{\\rtf1 A\\'e", "A"},
        {"{\\rtf1 A\\u233", "A"},
        {"{\\rtf1 A\\par", "A"},
        {"{\\rtf1 A\\bin99999999999 BCD}", "A"},
        {"{\\rtf1 A\\uc99999999999\\u233 BCD}E}", "Aé"},
        {"{\\rtf1\\ansicpg99999999999 \\deff99999999999\\f-99999999999 \\'e9}", "é"},
        {"", ""},
        {"}}}", ""},
    };
    verifier(cas);
}

TEST(Rtf, UnDocumentCoupeDonneLeDebutDeSonTexte) {
    const QByteArray rtf =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}}"
        "{\\*\\generator Riched20 10.0.19041}\\viewkind4\\uc1\\pard\\f0\\fs20 Couleur "
        "\\'e9t\\'e9\\~: 6.1\\par {\\b Allergie} \\u8364\\'80\\uc2\\u-10179\\'3f\\'3f\\u-8694 ??"
        "\\tab{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt lien}}{\\pict\\bin4 }{}{}"
        "\\line fin\\par\\par }";
    const QString complet = platform::texteRtf(rtf);
    ASSERT_EQ(complet, QStringLiteral("Couleur été\u00A0: 6.1\r\nAllergie €😊\tlien\r\nfin\r\n"));
    for (qsizetype n = 0; n <= rtf.size(); ++n) {
        const QString debut = platform::texteRtf(rtf.left(n));
        ASSERT_TRUE(complet.startsWith(debut)) << n << " octets : " << debut.toStdString();
    }
}

TEST(Rtf, EntreesExtremes) {
    const int profondeur = 100'000;
    EXPECT_EQ(platform::texteRtf("{\\rtf1 " + repeter("{", profondeur) + "fond" +
                                 repeter("}", profondeur) + " fin}"),
              QStringLiteral("fond fin"));
    EXPECT_EQ(platform::texteRtf("{\\rtf1 {\\*\\x " + repeter("{", profondeur) + "secret" +
                                 repeter("}", profondeur) + "}vu}"),
              QStringLiteral("vu"));
    EXPECT_EQ(platform::texteRtf("{\\rtf1 a" + repeter("{\\b b", profondeur)),
              QStringLiteral("a") + QString(profondeur, u'b'));

    // Random bytes, with and without an RTF start: any text, but an answer.
    std::mt19937 alea(20240601);
    for (int essai = 0; essai < 50; ++essai) {
        QByteArray octets(20'000, '\0');
        for (char& o : octets) {
            o = static_cast<char>(alea() % 256);
        }
        EXPECT_LE(platform::texteRtf(octets).size(), octets.size());
        EXPECT_LE(platform::texteRtf("{\\rtf1 " + octets).size(), octets.size() + 7);
    }

    // A 5 MB note: every paragraph is there.
    const QByteArray paragraphe = "Coloration \\'e9claircissante, {\\b pose} 30 min\\par\r\n";
    const int paragraphes = 5 * 1024 * 1024 / paragraphe.size();
    const QString texte =
        platform::texteNote("{\\rtf1\\ansi " + paragraphe.repeated(paragraphes) + "}");
    EXPECT_EQ(texte, QStringLiteral("Coloration éclaircissante, pose 30 min\r\n")
                         .repeated(paragraphes)
                         .chopped(2));
}

TEST(Note, TexteBrutOuRtf) {
    const Cas cas[] = {
        {"a\r\nb", "a\r\nb"},
        {"a\nb\n", "a\r\nb\r\n"},
        {"a\rb", "a\r\nb"},
        {"a\r\r\nb\n\r", "a\r\n\r\nb\r\n\r\n"},
        {"\xe9t\xe9 \x80 \x9c", "été € œ"},
        {"", ""},
        {"{\\RTF1 a}", "{\\RTF1 a}"},
        {"Note {\\rtf1 a}", "Note {\\rtf1 a}"},
        {" \r\n\t{\\rtf1 a}", "a"},
        {"\xEF\xBB\xBF{\\rtf1 a}", "a"},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.rtf);
        EXPECT_EQ(platform::texteNote(QByteArray(c.rtf)), QString::fromUtf8(c.texte));
    }
}

TEST(Note, LectureDuFichier) {
    test::Dossier d;
    d.ecrire(QStringLiteral("Cli7.RTF"), "{\\rtf1\\ansi Teinte\\par 7\\'b0}");
    d.ecrire(QStringLiteral("Cli8.RTF"), "Teinte\n8\xb0");
    EXPECT_EQ(platform::lireNote(d.chemin(QStringLiteral("Cli7.RTF"))),
              QStringLiteral("Teinte\r\n7°"));
    EXPECT_EQ(platform::lireNote(d.chemin(QStringLiteral("Cli8.RTF"))),
              QStringLiteral("Teinte\r\n8°"));
}

TEST(Note, FichierIllisible) {
    test::Dossier d;
    ASSERT_TRUE(QDir(d.chemin()).mkdir(QStringLiteral("Cli13.RTF")));
    struct Illisible {
        const char* nom;
        const char* cause;
    };
    std::vector<Illisible> cas = {
        {"Cli12.RTF", "introuvable"},
        {"Cli13.RTF", "dossier"},
    };
    if (geteuid() != 0) {
        d.ecrire(QStringLiteral("Cli14.RTF"), "{\\rtf1 x}");
        QFile(d.chemin(QStringLiteral("Cli14.RTF"))).setPermissions(QFileDevice::WriteOwner);
        cas.push_back({"Cli14.RTF", "permission refusée"});
    }
    for (const Illisible& c : cas) {
        SCOPED_TRACE(c.nom);
        const QString chemin = d.chemin(QString::fromUtf8(c.nom));
        try {
            platform::lireNote(chemin);
            ADD_FAILURE() << "pas d'erreur";
        } catch (const platform::ErreurFichier& e) {
            EXPECT_TRUE(
                e.message().startsWith(QStringLiteral("Impossible de lire la note « %1 » : ")
                                           .arg(QString::fromUtf8(c.nom))))
                << e.message().toStdString();
            EXPECT_TRUE(e.message().contains(QString::fromUtf8(c.cause)))
                << e.message().toStdString();
            EXPECT_EQ(e.chemin(), chemin);
        }
    }
}

}  // namespace
