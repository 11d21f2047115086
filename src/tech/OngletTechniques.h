#pragma once

#include <QObject>
#include <memory>

class QWidget;
namespace Ui {
class OngletTechniques;
}
namespace app {
class Form1;
}

namespace tech {

// The FICHES TECHNIQUES tab: sheet analysis, family correction, export.
class OngletTechniques : public QObject {
    Q_OBJECT

public:
    OngletTechniques(app::Form1& form, QWidget* page);
    ~OngletTechniques() override;

    Ui::OngletTechniques& ui() { return *m_ui; }

    // The main window's load, as far as this tab goes.
    void Form1_Load();

private:
    app::Form1& m_form;
    std::unique_ptr<Ui::OngletTechniques> m_ui;
};

}  // namespace tech
