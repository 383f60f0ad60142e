#pragma once

#include <QWidget>
#include <string>
#include <string_view>

class QLabel;

namespace vorlane {

// The lines below the entry dialog's buttons that tell where the password goes: across the
// network in plain text (security "None" for a host that is not this computer), and into the
// settings file, only scrambled, when no keyring answers. Shown only when they apply.
class EntryNotes : public QWidget
{
    Q_OBJECT

public:
    static const char* const kPlainTextWarning;
    static const char* const kScrambledOnlyNote;

    EntryNotes(int width, QWidget* parent);

    // The warning applies to an entry without security whose host is not loopback.
    static bool WarnsOfPlainText(int security, std::string_view host);

    void ShowPlainTextWarning(int security, const std::string& host);
    void SetScrambledOnly(bool scrambledOnly);
    // The height the notes take; 0 when none applies.
    int NeededHeight() const;

    QLabel* PlainTextWarning() const { return plainText_; }
    QLabel* ScrambledNote() const { return scrambled_; }

signals:
    void changed();

private:
    void Arrange();

    QLabel* plainText_;
    QLabel* scrambled_;
};

} // namespace vorlane
