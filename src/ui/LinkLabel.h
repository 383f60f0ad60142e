#pragma once

#include <QLabel>

namespace vorlane {

// A label that looks and acts like a link: blue, underlined, the hand cursor, and a click of the
// left mouse button on it emits clicked.
class LinkLabel : public QLabel
{
    Q_OBJECT

public:
    explicit LinkLabel(QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace vorlane
