#pragma once

#include <QWidget>
#include <optional>

class QLineEdit;
class QToolButton;

namespace vorlane {

// A spin control beside a text field (its associate): two arrow buttons that step a position
// within Min to Max and show it in the field. The field stays free text, so that the dialogs can
// repair what the user typed by their own rules. The position is read from the field when it is
// asked for, as the platform's spin control reads its buddy: text that is a whole number within
// the range is the position, any other text leaves the position where it was. The Up and Down
// keys in the field step it too.
class UpDown : public QWidget
{
    Q_OBJECT

public:
    explicit UpDown(QWidget* parent = nullptr);

    void SetAssociate(QLineEdit* edit);
    QLineEdit* Associate() const { return associate_; }

    int Min() const { return min_; }
    int Max() const { return max_; }
    // Keeps the position within the new range.
    void SetRange(int min, int max);
    int Position() const;
    // Kept within Min to Max; the field then shows the position.
    void SetPosition(int position);

    // One step up or down, as a click on an arrow does.
    void StepBy(int steps);

    QToolButton* UpButton() const { return up_; }
    QToolButton* DownButton() const { return down_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The field's number when it is one within the range.
    std::optional<int> AssociateNumber() const;

    QLineEdit* associate_ = nullptr;
    QToolButton* up_;
    QToolButton* down_;
    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
};

} // namespace vorlane
