#pragma once

class QString;

namespace commun {

// What a tab drives of the main window around it, without knowing that
// window: the progress panel laid over the tabs, and the text boxes of all
// the tabs.
class Cadre {
public:
    virtual ~Cadre() = default;

    // The progress panel (Frame6 and its list Listelog) over the tabs: shown
    // empty, a line added at its end, hidden.
    virtual void montrerProgression() = 0;
    virtual void ajouterProgression(const QString& ligne) = 0;
    virtual void cacherProgression() = 0;

    // Every text box of the window, on any tab, black on white and disabled:
    // how emptying a panel (ViderChamps) leaves the window.
    virtual void fermerZones() = 0;
};

}  // namespace commun
