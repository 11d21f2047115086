#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <memory>
#include <vector>

#include "access/Conversion.h"

namespace Ui {
class DialogueConversion;
}
namespace commun {
class Messages;
}

namespace acces {

// The progress of one conversion, table by table ("rows done / rows"). It
// cannot be closed while the conversion runs.
class DialogueConversion : public QDialog, public ObservateurConversion {
    Q_OBJECT

public:
    explicit DialogueConversion(const FichierAccess& fichier, QWidget* parent = nullptr);
    ~DialogueConversion() override;

    Ui::DialogueConversion& ui() { return *m_ui; }
    void terminer() { m_enCours = false; }

    void tables(const std::vector<TableConvertie>& tables) override;
    void progression(int table, qint64 faites, qint64 total) override;
    void tableFaite(int table, qint64 lignes) override;
    void etape(const QString& texte) override;
    void attente() override;

protected:
    void closeEvent(QCloseEvent* evenement) override;
    void reject() override;

private:
    void afficher(int table, qint64 faites);
    // Repaints now and then, so that a large file is not slowed by drawing.
    void laisserPasser(bool toutDeSuite);

    std::unique_ptr<Ui::DialogueConversion> m_ui;
    std::vector<TableConvertie> m_tables;
    std::vector<qint64> m_faites;
    qint64 m_total = 0;
    bool m_enCours = true;
    QElapsedTimer m_dernierRepeint;
};

enum class Suite { Continuer, Abandon, Echec };

// At start, before anything opens the databases: when BdClient.mdb or
// communes.mdb is an Access file, warns about an open salon application (a
// .ldb beside it), asks to convert (No ends the program), converts with its
// progress shown, and says where the original went.
Suite convertirAuDemarrage(const QString& dossier, commun::Messages& messages,
                           QWidget* parent = nullptr);

}  // namespace acces
