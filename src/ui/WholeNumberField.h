#pragma once

#include <QObject>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

class QLineEdit;

namespace vorlane {

// A text field for a whole number that stays free text while the user types and is put right by
// rules when the focus comes and goes. Entering takes the number the entering rule reads from the
// text, and shows it when the text was no whole number at all; leaving takes the number the
// leaving rule accepts and puts the last accepted number back in place of any other text.
//
// It watches the field's focus and tells of it by entered() and left(); the dialog connects them
// to its own handlers, which call Enter and Leave. OK calls the leaving handler itself, since a
// click on a gradient button leaves the focus where it is.
class WholeNumberField : public QObject
{
    Q_OBJECT

public:
    // The number a text gives under a rule, if the rule takes the text.
    using Rule = std::function<std::optional<std::int32_t>(std::string_view text)>;

    // Watches the edit's focus and lives as long as the edit.
    WholeNumberField(QLineEdit* edit, std::int32_t lastAccepted, Rule entering, Rule leaving);

    std::int32_t LastAccepted() const { return lastAccepted_; }
    void SetLastAccepted(std::int32_t number) { lastAccepted_ = number; }
    // Accepts the number and shows it.
    void SetNumber(std::int32_t number);

    // What the focus coming into the field does.
    void Enter();
    // What the focus leaving the field does.
    void Leave();

signals:
    void entered();
    void left();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* edit_;
    std::int32_t lastAccepted_;
    Rule entering_;
    Rule leaving_;
};

} // namespace vorlane
