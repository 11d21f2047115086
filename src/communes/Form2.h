#pragma once

#include <QWidget>
#include <memory>

namespace Ui {
class Form2;
}
namespace app {
struct Variables;
class Messages;
}  // namespace app

namespace communes {

// The default town and postal code dialog, the program's first window. With
// default.txt present it confirms at once without ever being seen.
class Form2 : public QWidget {
    Q_OBJECT

public:
    Form2(app::Variables& variables, app::Messages& messages, QWidget* parent = nullptr);
    ~Form2() override;

    // Reads default.txt and confirms, or explains and lists every town.
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

    std::unique_ptr<Ui::Form2> m_ui;
    app::Variables& m_vars;
    app::Messages& m_messages;
    bool m_confirme = false;
    bool m_silencieux = false;
};

}  // namespace communes
