#pragma once

#include <QWidget>
#include <memory>

namespace Ui {
class Form2;
}
namespace commun {
struct Variables;
class Messages;
}  // namespace commun

namespace communes {

struct VilleDefaut;

// The default town and postal code dialog, the program's first window. With
// default.txt present it confirms at once without ever being seen.
class Form2 : public QWidget {
    Q_OBJECT

public:
    Form2(commun::Variables& variables, commun::Messages& messages, QWidget* parent = nullptr);
    ~Form2() override;

    // Reads default.txt and confirms when it gives a town and postal code of
    // the reference; otherwise explains and lists every town, with the file's
    // values filled in when it has some.
    void Form2_Load();
    bool confirme() const { return m_confirme; }

    Ui::Form2& ui() { return *m_ui; }

signals:
    // The choice is stored (VilleDefaut, CpDefaut): time to open the main window.
    void choixConfirme();

private:
    void txtCp_Change();
    void List1_Click();
    void BtnFermer_Click();
    void TestCpVille();
    void ToutesVilles();
    void cpVilles();
    // Why the dialog would not take these values (defautInvalide), empty
    // when it takes them.
    QString raisonRefus(const VilleDefaut& choix);

    std::unique_ptr<Ui::Form2> m_ui;
    commun::Variables& m_vars;
    commun::Messages& m_messages;
    bool m_confirme = false;
    bool m_silencieux = false;
    // default.txt holds no valid default: the choice replaces it.
    bool m_remplacer = false;
    // Why default.txt could not be read, when it could not.
    QString m_causeFichier;
};

}  // namespace communes
