#pragma once

#include <QString>
#include <functional>

namespace commun {

// Every message box of the program goes through this interface, so that tests
// replace it with a scripted fake. Boxes carry the application's title.
class Messages {
public:
    virtual ~Messages() = default;
    // Information icon, OK button: results and completions.
    virtual void information(const QString& texte) = 0;
    // Exclamation icon, OK button: a typed value refused, an operation failed.
    virtual void exclamation(const QString& texte) = 0;
    // Yes and No buttons, no icon; true only for Yes.
    virtual bool question(const QString& texte) = 0;
};

// Runs a step of a window (a button, a pick in a list): an error the user is
// told about stops it and shows in an exclamation box, after `avant` when
// given ("La correction n'a pas été annulée.\r\n"). False when it stopped so.
bool tenter(Messages& messages, const std::function<void()>& etape,
            const QString& avant = QString());

// "Vérification des fichiers clients/techniques"
QString titreApplication();

}  // namespace commun
