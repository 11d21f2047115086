#pragma once

#include <QObject>
#include <memory>

class QWidget;
namespace Ui {
class OngletPurge;
}
namespace app {
class Form1;
}

namespace purge {

// The PURGE tab: old clients and old technical sheets, counted then deleted.
class OngletPurge : public QObject {
    Q_OBJECT

public:
    OngletPurge(app::Form1& form, QWidget* page);
    ~OngletPurge() override;

    Ui::OngletPurge& ui() { return *m_ui; }

    // On selecting the tab: both calendars on 1 January 2005, Frame5 hidden.
    void preparer();

private:
    app::Form1& m_form;
    std::unique_ptr<Ui::OngletPurge> m_ui;
};

}  // namespace purge
