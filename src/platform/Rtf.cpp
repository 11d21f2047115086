#include "platform/Rtf.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>
#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Cp1252.h"
#include "platform/ErreurFichier.h"
#include "platform/Fichiers.h"

namespace platform {

namespace {

using Octet = unsigned char;

// Deeper groups share the state of the last one: real notes never come close,
// and the stack stays small whatever the input.
constexpr std::size_t kProfondeurMax = 1 << 16;
// Numeric parameters saturate here rather than overflow.
constexpr std::int64_t kParametreMax = 0x7FFFFFFF;
// Longest control word; a longer one is read whole and matches nothing.
constexpr std::size_t kMotMax = 32;
// Code pages for which a decoder is kept; any further one reads as Windows-1252.
constexpr std::size_t kDecodeursMax = 16;

constexpr int kCp1252 = 1252;
constexpr int kCpUtf8 = 65001;
constexpr int kCpPoliceDefaut = -1;  // the group still uses the default font (\deff)
constexpr int kCpDocument = 0;       // the font has no code page of its own

enum class Destination : std::uint8_t {
    Texte,    // visible text
    Ignoree,  // skipped whole, nested groups included
    Polices,  // font table: only each font's code page matters
    Objet,    // embedded object: only its \result shows
    Upr,      // ANSI copy of a Unicode text, shown through its \ud group
};

struct Groupe {
    Destination destination;
    Destination ouverture;  // destination of the enclosing group
    int uc;                 // fallback characters that follow a \uN
    int cp;                 // code page of the current font, or kCpPoliceDefaut / kCpDocument
};

enum class Action : std::uint8_t {
    Caractere,
    Paragraphe,
    Saut,
    Ignorer,
    Polices,
    Objet,
    Upr,
    Ud,
    Resultat,
    Unicode,
    Uc,
    Binaire,
    Police,
    PoliceDefaut,
    Plain,
    Jeu,
    Ansicpg,
    Fcharset,
    Cpg,
    Urtf,
};

struct Mot {
    std::string_view nom;
    Action action;
    char16_t valeur = 0;
};

// Sorted by name. Unknown words are formatting that has no text and are ignored.
constexpr Mot kMots[] = {
    {"aftncn", Action::Ignorer},
    {"aftnsep", Action::Ignorer},
    {"aftnsepc", Action::Ignorer},
    {"annotation", Action::Ignorer},
    {"ansi", Action::Jeu, 1252},
    {"ansicpg", Action::Ansicpg},
    {"atnauthor", Action::Ignorer},
    {"atndate", Action::Ignorer},
    {"atnicn", Action::Ignorer},
    {"atnid", Action::Ignorer},
    {"atnparent", Action::Ignorer},
    {"atnref", Action::Ignorer},
    {"atntime", Action::Ignorer},
    {"atrfend", Action::Ignorer},
    {"atrfstart", Action::Ignorer},
    {"author", Action::Ignorer},
    {"background", Action::Ignorer},
    {"bin", Action::Binaire},
    {"bkmkend", Action::Ignorer},
    {"bkmkstart", Action::Ignorer},
    {"blipuid", Action::Ignorer},
    {"bullet", Action::Caractere, 0x2022},
    {"buptim", Action::Ignorer},
    {"category", Action::Ignorer},
    {"cell", Action::Caractere, u'\t'},
    {"colorschememapping", Action::Ignorer},
    {"colortbl", Action::Ignorer},
    {"comment", Action::Ignorer},
    {"company", Action::Ignorer},
    {"cpg", Action::Cpg},
    {"creatim", Action::Ignorer},
    {"datafield", Action::Ignorer},
    {"datastore", Action::Ignorer},
    {"defchp", Action::Ignorer},
    {"deff", Action::PoliceDefaut},
    {"defpap", Action::Ignorer},
    {"do", Action::Ignorer},
    {"doccomm", Action::Ignorer},
    {"docvar", Action::Ignorer},
    {"dptxbxtext", Action::Ignorer},
    {"ebcend", Action::Ignorer},
    {"ebcstart", Action::Ignorer},
    {"emdash", Action::Caractere, 0x2014},
    {"emspace", Action::Caractere, 0x2003},
    {"endash", Action::Caractere, 0x2013},
    {"enspace", Action::Caractere, 0x2002},
    {"f", Action::Police},
    {"factoidname", Action::Ignorer},
    {"falt", Action::Ignorer},
    {"fchars", Action::Ignorer},
    {"fcharset", Action::Fcharset},
    {"ffdeftext", Action::Ignorer},
    {"ffentrymcr", Action::Ignorer},
    {"ffexitmcr", Action::Ignorer},
    {"ffformat", Action::Ignorer},
    {"ffhelptext", Action::Ignorer},
    {"ffl", Action::Ignorer},
    {"ffname", Action::Ignorer},
    {"ffstattext", Action::Ignorer},
    {"file", Action::Ignorer},
    {"filetbl", Action::Ignorer},
    {"fldinst", Action::Ignorer},
    {"fldtype", Action::Ignorer},
    {"fname", Action::Ignorer},
    {"fontemb", Action::Ignorer},
    {"fontfile", Action::Ignorer},
    {"fonttbl", Action::Polices},
    {"footer", Action::Ignorer},
    {"footerf", Action::Ignorer},
    {"footerl", Action::Ignorer},
    {"footerr", Action::Ignorer},
    {"footnote", Action::Ignorer},
    {"formfield", Action::Ignorer},
    {"ftncn", Action::Ignorer},
    {"ftnsep", Action::Ignorer},
    {"ftnsepc", Action::Ignorer},
    {"generator", Action::Ignorer},
    {"gridtbl", Action::Ignorer},
    {"header", Action::Ignorer},
    {"headerf", Action::Ignorer},
    {"headerl", Action::Ignorer},
    {"headerr", Action::Ignorer},
    {"hl", Action::Ignorer},
    {"hlfr", Action::Ignorer},
    {"hlinkbase", Action::Ignorer},
    {"hlloc", Action::Ignorer},
    {"hlsrc", Action::Ignorer},
    {"hsv", Action::Ignorer},
    {"htmltag", Action::Ignorer},
    {"info", Action::Ignorer},
    {"keycode", Action::Ignorer},
    {"keywords", Action::Ignorer},
    {"latentstyles", Action::Ignorer},
    {"lchars", Action::Ignorer},
    {"ldblquote", Action::Caractere, 0x201C},
    {"levelnumbers", Action::Ignorer},
    {"leveltext", Action::Ignorer},
    {"lfolevel", Action::Ignorer},
    {"line", Action::Saut},
    {"linkval", Action::Ignorer},
    {"list", Action::Ignorer},
    {"listlevel", Action::Ignorer},
    {"listname", Action::Ignorer},
    {"listoverride", Action::Ignorer},
    {"listoverridetable", Action::Ignorer},
    {"listpicture", Action::Ignorer},
    {"liststylename", Action::Ignorer},
    {"listtable", Action::Ignorer},
    {"listtext", Action::Ignorer},
    {"lquote", Action::Caractere, 0x2018},
    {"lsdlockedexcept", Action::Ignorer},
    {"ltrmark", Action::Caractere, 0x200E},
    {"mac", Action::Jeu, 10000},
    {"manager", Action::Ignorer},
    {"mmath", Action::Ignorer},
    {"nestcell", Action::Caractere, u'\t'},
    {"nestrow", Action::Saut},
    {"nesttableprops", Action::Ignorer},
    {"nextfile", Action::Ignorer},
    {"nonesttables", Action::Ignorer},
    {"nonshppict", Action::Ignorer},
    {"objalias", Action::Ignorer},
    {"objclass", Action::Ignorer},
    {"objdata", Action::Ignorer},
    {"object", Action::Objet},
    {"objname", Action::Ignorer},
    {"objsect", Action::Ignorer},
    {"objtime", Action::Ignorer},
    {"oldcprops", Action::Ignorer},
    {"oldpprops", Action::Ignorer},
    {"oldsprops", Action::Ignorer},
    {"oldtprops", Action::Ignorer},
    {"oleclsid", Action::Ignorer},
    {"operator", Action::Ignorer},
    {"page", Action::Saut},
    {"panose", Action::Ignorer},
    {"par", Action::Paragraphe},
    {"password", Action::Ignorer},
    {"passwordhash", Action::Ignorer},
    {"pc", Action::Jeu, 437},
    {"pca", Action::Jeu, 850},
    {"pgdsctbl", Action::Ignorer},
    {"pgp", Action::Ignorer},
    {"pgptbl", Action::Ignorer},
    {"picprop", Action::Ignorer},
    {"pict", Action::Ignorer},
    {"plain", Action::Plain},
    {"pn", Action::Ignorer},
    {"pnseclvl", Action::Ignorer},
    {"pntext", Action::Ignorer},
    {"pntxta", Action::Ignorer},
    {"pntxtb", Action::Ignorer},
    {"printim", Action::Ignorer},
    {"private", Action::Ignorer},
    {"propname", Action::Ignorer},
    {"protend", Action::Ignorer},
    {"protstart", Action::Ignorer},
    {"protusertbl", Action::Ignorer},
    {"pxe", Action::Ignorer},
    {"qmspace", Action::Caractere, 0x2005},
    {"rdblquote", Action::Caractere, 0x201D},
    {"result", Action::Resultat},
    {"revtbl", Action::Ignorer},
    {"revtim", Action::Ignorer},
    {"row", Action::Saut},
    {"rquote", Action::Caractere, 0x2019},
    {"rsidtbl", Action::Ignorer},
    {"rtlmark", Action::Caractere, 0x200F},
    {"rxe", Action::Ignorer},
    {"sect", Action::Paragraphe},
    {"shpinst", Action::Ignorer},
    {"shppict", Action::Ignorer},
    {"shprslt", Action::Ignorer},
    {"shptxt", Action::Ignorer},
    {"sn", Action::Ignorer},
    {"sp", Action::Ignorer},
    {"staticval", Action::Ignorer},
    {"stylesheet", Action::Ignorer},
    {"subject", Action::Ignorer},
    {"sv", Action::Ignorer},
    {"tab", Action::Caractere, u'\t'},
    {"tc", Action::Ignorer},
    {"template", Action::Ignorer},
    {"themedata", Action::Ignorer},
    {"title", Action::Ignorer},
    {"txe", Action::Ignorer},
    {"u", Action::Unicode},
    {"uc", Action::Uc},
    {"ud", Action::Ud},
    {"upr", Action::Upr},
    {"urtf", Action::Urtf},
    {"userprops", Action::Ignorer},
    {"wgrffmtfilter", Action::Ignorer},
    {"windowcaption", Action::Ignorer},
    {"writereservation", Action::Ignorer},
    {"writereservhash", Action::Ignorer},
    {"xe", Action::Ignorer},
    {"xform", Action::Ignorer},
    {"xmlattrname", Action::Ignorer},
    {"xmlattrvalue", Action::Ignorer},
    {"xmlclose", Action::Ignorer},
    {"xmlname", Action::Ignorer},
    {"xmlnstbl", Action::Ignorer},
    {"xmlopen", Action::Ignorer},
    {"zwbo", Action::Caractere, 0x200B},
    {"zwj", Action::Caractere, 0x200D},
    {"zwnbo", Action::Caractere, 0xFEFF},
    {"zwnj", Action::Caractere, 0x200C},
};

static_assert(std::is_sorted(std::begin(kMots), std::end(kMots),
                             [](const Mot& a, const Mot& b) { return a.nom < b.nom; }));

const Mot* chercherMot(std::string_view nom) {
    const auto it = std::lower_bound(std::begin(kMots), std::end(kMots), nom,
                                     [](const Mot& m, std::string_view n) { return m.nom < n; });
    return it != std::end(kMots) && it->nom == nom ? it : nullptr;
}

// The code page of a font's character set (\fcharsetN); kCpDocument when the
// set has none of its own (default, symbol) or is unknown.
int cpDuJeu(std::int64_t jeu) {
    static constexpr std::pair<int, int> kJeux[] = {
        {0, 1252},   {77, 10000}, {128, 932},  {129, 949},  {130, 1361}, {134, 936},  {136, 950},
        {161, 1253}, {162, 1254}, {163, 1258}, {177, 1255}, {178, 1256}, {186, 1257}, {204, 1251},
        {222, 874},  {238, 1250}, {254, 437},  {255, 850},  // OEM: the French DOS code page
    };
    for (const auto& [numero, cp] : kJeux) {
        if (numero == jeu) {
            return cp;
        }
    }
    return kCpDocument;
}

// Raw text bytes in Windows-1252; 0 for the control bytes, which the control drops.
const std::array<char16_t, 256>& tableCp1252() {
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> t{};
        for (int o = 0; o < 256; ++o) {
            t[o] = o < 0x20 && o != '\t' ? 0 : caractereCp1252(static_cast<Octet>(o)).unicode();
        }
        return t;
    }();
    return table;
}

// Bytes that end a run of text: group braces and the start of a control.
const std::array<bool, 256>& tableFinDeTexte() {
    static const std::array<bool, 256> table = [] {
        std::array<bool, 256> t{};
        t['\\'] = t['{'] = t['}'] = true;
        return t;
    }();
    return table;
}

bool estLettre(Octet c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool estChiffre(Octet c) {
    return c >= '0' && c <= '9';
}

int valeurHexa(Octet c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// One pass over the bytes with an explicit stack of groups. A control word cut
// by the end of the data is dropped, so a truncated document gives a prefix of
// the whole document's text.
class Lecteur {
public:
    explicit Lecteur(const QByteArray& rtf)
        : m_debut(reinterpret_cast<const Octet*>(rtf.constData())),
          m_fin(m_debut + rtf.size()),
          m_cp1252(tableCp1252()),
          m_finDeTexte(tableFinDeTexte()) {}

    QString lire();

private:
    Groupe& groupe() { return m_pile.back(); }
    bool visible() const { return m_pile.back().destination == Destination::Texte; }

    const Octet* texte(const Octet* p);
    const Octet* controle(const Octet* p);
    const Octet* motControle(const Octet* p);
    void appliquer(const Mot& mot, bool aParametre, std::int64_t parametre);
    void ouvrir();
    bool fermer();

    void octet(Octet o);
    void emettre(char16_t c);
    void finirPaire();
    void paragraphe();
    void vider();
    void majCodePage();
    int cpPolice(std::int64_t police) const;
    QStringDecoder* decodeur(int cp);

    const Octet* const m_debut;
    const Octet* const m_fin;
    const std::array<char16_t, 256>& m_cp1252;
    const std::array<bool, 256>& m_finDeTexte;

    std::vector<Groupe> m_pile;
    std::size_t m_surplus = 0;  // groups opened beyond kProfondeurMax
    int m_aSauter = 0;          // fallback characters of the last \uN still to skip
    char16_t m_haute = 0;       // first half of a surrogate pair, waiting for the second

    int m_cpDocument = kCp1252;
    bool m_utf8 = false;  // \urtf: every byte of text is UTF-8, whatever the font
    std::int64_t m_policeDefaut = 0;
    int m_cpPoliceDefaut = kCpDocument;
    QHash<std::int64_t, int> m_polices;  // font number -> code page
    std::int64_t m_policeDefinie = 0;    // font being described in the font table

    int m_cp = kCp1252;  // code page of the text being read
    QStringDecoder* m_decodeur = nullptr;
    std::vector<std::pair<int, std::unique_ptr<QStringDecoder>>> m_decodeurs;
    QByteArray m_attente;  // bytes waiting for the decoder of a code page other than 1252

    QString m_texte;
    bool m_finParagraphe = false;  // the text ends with a paragraph mark
};

QString Lecteur::lire() {
    const Octet* p = m_debut;
    while (p < m_fin && *p != '{') {
        ++p;
    }
    while (p < m_fin) {
        switch (*p) {
            case '{':
                ++p;
                ouvrir();
                break;
            case '}':
                ++p;
                if (!fermer()) {
                    finirPaire();
                    p = m_fin;  // the document's group is closed: the rest is not read
                }
                break;
            case '\\':
                p = controle(p + 1);
                break;
            default:
                p = texte(p);
                break;
        }
    }
    // A document cut after the first half of a pair gives the text before it,
    // as it does for a character cut in its bytes.
    vider();
    // The last paragraph mark is the document's own end, not a line break.
    if (m_finParagraphe) {
        m_texte.chop(2);
    }
    return m_texte;
}

const Octet* Lecteur::texte(const Octet* p) {
    if (!visible()) {
        while (p < m_fin && !m_finDeTexte[*p]) {
            ++p;
        }
        return p;
    }
    while (p < m_fin && !m_finDeTexte[*p]) {
        const Octet o = *p++;
        // Raw CR, LF and other control bytes are layout of the file, not text.
        if (m_cp1252[o] == 0) {
            continue;
        }
        if (m_aSauter > 0) {
            --m_aSauter;
            continue;
        }
        octet(o);
    }
    return p;
}

const Octet* Lecteur::controle(const Octet* p) {
    if (p == m_fin) {
        return m_fin;
    }
    const Octet c = *p;
    if (estLettre(c)) {
        return motControle(p);
    }
    if (c == '\'') {
        if (m_fin - p < 3) {
            return m_fin;
        }
        const int fort = valeurHexa(p[1]);
        const int faible = valeurHexa(p[2]);
        if (fort < 0) {
            return p + 1;
        }
        if (faible < 0) {
            return p + 2;
        }
        if (m_aSauter > 0) {
            --m_aSauter;
        } else if (visible()) {
            const Octet o = static_cast<Octet>(fort * 16 + faible);
            if (m_cp1252[o] != 0) {
                octet(o);
            }
        }
        return p + 3;
    }
    ++p;
    if (m_aSauter > 0) {
        --m_aSauter;
        return p;
    }
    switch (c) {
        case '\\':
        case '{':
        case '}':
            if (visible()) {
                octet(c);
            }
            break;
        case '~':
            emettre(0x00A0);
            break;
        case '_':
            emettre(0x2011);
            break;
        case '*':
            vider();
            groupe().destination = Destination::Ignoree;
            break;
        case '\r':
        case '\n':
            paragraphe();
            break;
        default:
            break;  // \- (optional hyphen) and the symbols without text
    }
    return p;
}

const Octet* Lecteur::motControle(const Octet* p) {
    const Octet* const debutNom = p;
    while (p < m_fin && estLettre(*p)) {
        ++p;
    }
    if (p == m_fin) {
        return m_fin;
    }
    const auto longueur = static_cast<std::size_t>(p - debutNom);
    bool negatif = false;
    if (*p == '-') {
        if (p + 1 == m_fin) {
            return m_fin;
        }
        if (estChiffre(p[1])) {
            negatif = true;
            ++p;
        }
    }
    bool aParametre = false;
    std::int64_t parametre = 0;
    if (estChiffre(*p)) {
        aParametre = true;
        while (p < m_fin && estChiffre(*p)) {
            if (parametre <= kParametreMax) {
                parametre = parametre * 10 + (*p - '0');
            }
            ++p;
        }
        if (p == m_fin) {
            return m_fin;
        }
        parametre = std::min(parametre, kParametreMax);
        if (negatif) {
            parametre = -parametre;
        }
    }
    if (*p == ' ') {
        ++p;
    }

    const Mot* mot = longueur <= kMotMax
                         ? chercherMot({reinterpret_cast<const char*>(debutNom), longueur})
                         : nullptr;
    if (mot != nullptr && mot->action == Action::Binaire) {
        // Raw data, whatever the destination; counts as one fallback character.
        const std::int64_t taille = aParametre ? std::max<std::int64_t>(parametre, 0) : 0;
        p += std::min<std::int64_t>(taille, m_fin - p);
        if (m_aSauter > 0) {
            --m_aSauter;
        }
        return p;
    }
    if (m_aSauter > 0) {
        --m_aSauter;
        return p;
    }
    if (mot != nullptr) {
        vider();
        appliquer(*mot, aParametre, parametre);
    }
    return p;
}

void Lecteur::appliquer(const Mot& mot, bool aParametre, std::int64_t parametre) {
    Groupe& g = groupe();
    // Words that matter outside the visible text.
    switch (mot.action) {
        case Action::Ud:
            if (g.ouverture == Destination::Texte || g.ouverture == Destination::Upr) {
                g.destination = Destination::Texte;
            }
            return;
        case Action::Resultat:
            if (g.destination == Destination::Objet) {
                g.destination = Destination::Texte;
            }
            return;
        case Action::Fcharset:
            if (g.destination == Destination::Polices) {
                m_polices.insert(m_policeDefinie, cpDuJeu(parametre));
            }
            return;
        case Action::Cpg:
            if (g.destination == Destination::Polices && parametre > 0) {
                m_polices.insert(m_policeDefinie, static_cast<int>(parametre));
            }
            return;
        case Action::Police:
            if (g.destination == Destination::Polices) {
                m_policeDefinie = parametre;
                return;
            }
            break;
        default:
            break;
    }
    if (g.destination != Destination::Texte) {
        return;
    }
    switch (mot.action) {
        case Action::Caractere:
            emettre(mot.valeur);
            break;
        case Action::Paragraphe:
            paragraphe();
            break;
        case Action::Saut:
            emettre(u'\r');
            emettre(u'\n');
            break;
        case Action::Ignorer:
            g.destination = Destination::Ignoree;
            break;
        case Action::Polices:
            g.destination = Destination::Polices;
            break;
        case Action::Objet:
            g.destination = Destination::Objet;
            break;
        case Action::Upr:
            g.destination = Destination::Upr;
            break;
        case Action::Unicode: {
            // A signed 16-bit value: \u-3913 is U+F0B7. A value beyond 16 bits
            // is no character at all.
            const auto unite = parametre < -0x8000 || parametre > 0xFFFF
                                   ? char16_t{0xFFFD}
                                   : static_cast<char16_t>(parametre & 0xFFFF);
            if (unite != 0) {
                emettre(unite);
            }
            m_aSauter = g.uc;
            break;
        }
        case Action::Uc:
            g.uc =
                aParametre ? static_cast<int>(std::clamp<std::int64_t>(parametre, 0, 0xFFFF)) : 1;
            break;
        case Action::Police:
            g.cp = cpPolice(parametre);
            majCodePage();
            break;
        case Action::PoliceDefaut:
            m_policeDefaut = parametre;
            m_cpPoliceDefaut = cpPolice(parametre);
            majCodePage();
            break;
        case Action::Plain:
            g.cp = kCpPoliceDefaut;
            majCodePage();
            break;
        case Action::Jeu:
            m_cpDocument = mot.valeur;
            majCodePage();
            break;
        case Action::Urtf:
            m_utf8 = true;
            majCodePage();
            break;
        case Action::Ansicpg:
            m_cpDocument =
                parametre > 0 && parametre <= 0xFFFF ? static_cast<int>(parametre) : kCp1252;
            majCodePage();
            break;
        default:
            break;
    }
}

void Lecteur::ouvrir() {
    vider();
    m_aSauter = 0;
    if (m_pile.empty()) {
        m_pile.push_back({Destination::Texte, Destination::Texte, 1, kCpPoliceDefaut});
        return;
    }
    if (m_pile.size() >= kProfondeurMax) {
        ++m_surplus;
        return;
    }
    Groupe g = m_pile.back();
    g.ouverture = g.destination;
    m_pile.push_back(g);
}

bool Lecteur::fermer() {
    vider();
    m_aSauter = 0;
    if (m_surplus > 0) {
        --m_surplus;
        return true;
    }
    const Destination fermee = m_pile.back().destination;
    m_pile.pop_back();
    if (m_pile.empty()) {
        return false;
    }
    if (fermee == Destination::Polices) {
        // The default font's code page is known once the table is read.
        m_cpPoliceDefaut = cpPolice(m_policeDefaut);
    }
    majCodePage();
    return true;
}

void Lecteur::octet(Octet o) {
    if (m_decodeur == nullptr) {
        emettre(m_cp1252[o]);
    } else {
        m_attente.append(static_cast<char>(o));
    }
}

void Lecteur::emettre(char16_t c) {
    if (!visible()) {
        return;
    }
    vider();
    // A surrogate pair comes as two \uN; a half without its other half is
    // no character: the replacement character stands for it.
    if (m_haute != 0 && QChar::isLowSurrogate(c)) {
        m_texte.append(QChar(m_haute));
        m_texte.append(QChar(c));
        m_haute = 0;
    } else if (QChar::isHighSurrogate(c)) {
        finirPaire();
        m_haute = c;
    } else {
        finirPaire();
        m_texte.append(QChar(QChar::isLowSurrogate(c) ? char16_t{0xFFFD} : c));
    }
    m_finParagraphe = false;
}

void Lecteur::finirPaire() {
    if (m_haute != 0) {
        m_texte.append(QChar(char16_t{0xFFFD}));
        m_haute = 0;
        m_finParagraphe = false;
    }
}

void Lecteur::paragraphe() {
    if (!visible()) {
        return;
    }
    emettre(u'\r');
    emettre(u'\n');
    m_finParagraphe = true;
}

void Lecteur::vider() {
    if (m_attente.isEmpty()) {
        return;
    }
    // A fresh state each time: an incomplete character at the end is dropped.
    m_decodeur->resetState();
    const QString texte = m_decodeur->decode(m_attente);
    m_attente.clear();
    finirPaire();
    for (const QChar c : texte) {
        if (!c.isNull()) {
            m_texte.append(c);
            m_finParagraphe = false;
        }
    }
}

void Lecteur::majCodePage() {
    int cp = m_pile.back().cp;
    if (cp == kCpPoliceDefaut) {
        cp = m_cpPoliceDefaut;
    }
    if (cp == kCpDocument) {
        cp = m_cpDocument;
    }
    if (m_utf8) {
        cp = kCpUtf8;
    }
    if (cp == m_cp) {
        return;
    }
    vider();
    m_cp = cp;
    m_decodeur = cp == kCp1252 ? nullptr : decodeur(cp);
}

int Lecteur::cpPolice(std::int64_t police) const {
    return m_polices.value(police, kCpDocument);
}

// nullptr when the code page is unknown: its bytes then read as Windows-1252.
QStringDecoder* Lecteur::decodeur(int cp) {
    for (const auto& [numero, d] : m_decodeurs) {
        if (numero == cp) {
            return d.get();
        }
    }
    if (m_decodeurs.size() >= kDecodeursMax) {
        return nullptr;
    }
    std::unique_ptr<QStringDecoder> d;
    if (cp == kCpUtf8) {
        d = std::make_unique<QStringDecoder>(QStringDecoder::Utf8);
    } else {
        for (const char* modele : {"windows-%1", "cp%1", "ibm-%1"}) {
            d = std::make_unique<QStringDecoder>(
                QString::fromLatin1(modele).arg(cp).toLatin1().constData());
            if (d->isValid()) {
                break;
            }
        }
        if (!d->isValid()) {
            d.reset();
        }
    }
    QStringDecoder* const resultat = d.get();
    m_decodeurs.emplace_back(cp, std::move(d));
    return resultat;
}

QString textePlat(const QByteArray& contenu) {
    QString texte;
    texte.reserve(contenu.size() + contenu.size() / 8);
    const qsizetype n = contenu.size();
    for (qsizetype i = 0; i < n; ++i) {
        const Octet o = static_cast<Octet>(contenu[i]);
        if (o == '\r' || o == '\n') {
            texte.append(u'\r');
            texte.append(u'\n');
            if (o == '\r' && i + 1 < n && contenu[i + 1] == '\n') {
                ++i;
            }
        } else {
            texte.append(caractereCp1252(o));
        }
    }
    return texte;
}

bool estRtf(const QByteArray& contenu) {
    QByteArrayView reste(contenu);
    if (reste.startsWith("\xEF\xBB\xBF")) {
        reste = reste.sliced(3);
    }
    while (!reste.isEmpty() &&
           (reste[0] == ' ' || reste[0] == '\t' || reste[0] == '\r' || reste[0] == '\n')) {
        reste = reste.sliced(1);
    }
    return reste.startsWith("{\\rtf") || reste.startsWith("{\\urtf");
}

[[noreturn]] void echouer(const QString& chemin, const QString& cause) {
    throw ErreurFichier(chemin, QStringLiteral("Impossible de lire la note « %1 » : %2.")
                                    .arg(QFileInfo(chemin).fileName(), cause));
}

}  // namespace

QString texteRtf(const QByteArray& rtf) {
    return Lecteur(rtf).lire();
}

QString texteNote(const QByteArray& contenu) {
    return estRtf(contenu) ? texteRtf(contenu) : textePlat(contenu);
}

QString lireNote(const QString& chemin) {
    const Lecture l = lireFichier(chemin);
    if (!l.lu()) {
        echouer(chemin, l.cause);
    }
    return texteNote(l.contenu);
}

}  // namespace platform
