#pragma once

#include "commun/Messages.h"

class QWidget;

namespace app {

// The real message boxes, over the given window.
class MessagesQt : public commun::Messages {
public:
    explicit MessagesQt(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }

    void information(const QString& texte) override;
    void exclamation(const QString& texte) override;
    bool question(const QString& texte) override;

private:
    QWidget* m_parent;
};

}  // namespace app
