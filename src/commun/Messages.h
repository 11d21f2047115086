#pragma once

#include <QString>

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

// "Vérification des fichiers clients/techniques"
QString titreApplication();

}  // namespace commun
