#pragma once

#include <QWidget>

class QLabel;

// Shows a member's picture at its own size (scrollable when larger than the screen).
class frmImage : public QWidget {
    Q_OBJECT
public:
    explicit frmImage(const QString& path, QWidget* parent = nullptr);
    bool loaded() const { return m_loaded; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool m_loaded = false;
};
