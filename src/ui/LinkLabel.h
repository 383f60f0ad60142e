#pragma once

#include <QLabel>

namespace vorlane {

// A label that looks and acts like a link: blue, underlined, the hand cursor, and a click of the
// left mouse button on it fires Clicked.
class TLinkLabel : public QLabel
{
    Q_OBJECT

public:
    explicit TLinkLabel(QWidget* parent = nullptr);

signals:
    void Clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace vorlane
