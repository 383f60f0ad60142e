#pragma once

#include "config/SettingsStore.h"
#include "mail/MailServer.h"

#include <QDialog>
#include <QString>
#include <cstdint>
#include <string>

class QComboBox;
class QLabel;
class QLineEdit;
class QFrame;

namespace vorlane {

class EntryNotes;
class TGradBtn;
class UpDown;
class WholeNumberField;

// The small dialog in which the user types one mail server entry: its name, the user name and
// password, the host, POP3 or IMAP, how the connection is secured and on which port, the IMAP
// folder, and the check interval in minutes. It stores nothing and knows
// nothing of the other entries; the settings dialog fills it, shows it and reads the fields back.
class TMailServerSettingsForm : public QDialog
{
    Q_OBJECT

public:
    explicit TMailServerSettingsForm(QWidget* parent = nullptr);
    ~TMailServerSettingsForm() override;

    // Empty fields, SSL/TLS on port 995, interval 10, OK disabled: ready for a new entry.
    void ResetFields();
    // OK is enabled exactly when the name, the user name and the POP3 server hold any text.
    void UpdateOKButton();

    // The fields as the caller reads and writes them.
    QLineEdit* ServerNameEdit() const { return serverNameEdit_; }
    QLineEdit* UserNameEdit() const { return userNameEdit_; }
    QLineEdit* PasswordEdit() const { return passwordEdit_; }
    QLineEdit* POP3ServerEdit() const { return pop3ServerEdit_; }
    QComboBox* ProtocolComboBox() const { return protocolComboBox_; }
    QComboBox* SecurityComboBox() const { return securityComboBox_; }
    QLineEdit* FolderEdit() const { return folderEdit_; }
    QLineEdit* PortEdit() const { return portEdit_; }
    QLineEdit* IntervalEdit() const { return intervalEdit_; }
    UpDown* IntervalUpDown() const { return intervalUpDown_; }
    TGradBtn* OKGradBtn() const { return okGradBtn_; }
    TGradBtn* CancelGradBtn() const { return cancelGradBtn_; }
    QFrame* Bevel() const { return bevel_; }

    // For Edit: the name of an existing entry cannot change.
    void SetServerNameReadOnly(bool readOnly);

    // A stored password may be any bytes (one imported from Windows need not be UTF-8): unless
    // the user types another, Password gives back exactly the bytes that were set.
    void SetPassword(const std::string& bytes);
    std::string Password() const;

    std::int32_t LastAcceptedInterval() const;

    // The chosen security: kSecurityNone, kSecuritySTLS or kSecurityImplicitTls.
    int Security() const;
    // The port in the field, or the last accepted one while the field holds no port number.
    int Port() const;
    // Shows an entry's security and port (0, or no port number: the usual port of the security).
    void SetSecurity(int security, int port = 0);
    int LastAcceptedPort() const;

    // The row of the settings dialog's list that the fields make, under the given name.
    MailServerRow Row(std::string name) const;

    // POP3 or IMAP; the folder field and the server's caption follow it.
    MailProtocol Protocol() const;
    void SetProtocol(MailProtocol protocol);
    // The IMAP folder to watch; blank means INBOX.
    std::string Folder() const;
    void SetFolder(const std::string& folder);

    // Where the password goes. An entry whose password stays unread in the keyring shows an
    // empty field that says so; left empty, the password stays where it is.
    void SetPasswordInKeyring(bool kept);
    bool PasswordStaysInKeyring() const;
    // No keyring answers: a line says that the password is kept only scrambled in a file.
    void SetPasswordKeptScrambled(bool scrambledOnly);
    EntryNotes* Notes() const { return notes_; }

public slots:
    void IntervalEditEnter();
    void IntervalEditExit();
    // Another security fills in its usual port unless the user chose a port of his own.
    void SecurityComboBoxChange(int index);
    // Another protocol fills in its usual port, as another security does.
    void ProtocolComboBoxChange(int index);
    void PortEditEnter();
    // Anything but a port number gives back the last accepted port.
    void PortEditExit();
    // Repairs the interval and the port as leaving the fields does (a click on OK leaves the focus
    // where it is), so the caller never gets an interval that is not a whole number above 0.
    void OKGradBtnClick();
    // Closes as Rejected, as the close box and Escape do.
    void CancelGradBtnClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* AddField(int top, const char* label, const char* hint, QLabel** caption = nullptr);
    QLabel* AddCaption(int top, const char* label, QWidget* buddy);
    void AddNotes();
    void UpdateNotes();
    void ShowProtocol(MailProtocol protocol);

    QLineEdit* serverNameEdit_;
    QLineEdit* userNameEdit_;
    QLineEdit* passwordEdit_;
    QLineEdit* pop3ServerEdit_;
    QLabel* serverCaption_;
    QComboBox* protocolComboBox_;
    QComboBox* securityComboBox_;
    QLineEdit* folderEdit_;
    QLineEdit* portEdit_;
    WholeNumberField* portField_;
    QLineEdit* intervalEdit_;
    UpDown* intervalUpDown_;
    WholeNumberField* intervalField_;
    QLabel* minutesLabel_;
    QFrame* bevel_;
    TGradBtn* okGradBtn_;
    TGradBtn* cancelGradBtn_;
    std::string storedPassword_;
    QString storedPasswordShown_;
    int security_ = 0;
    MailProtocol protocol_ = MailProtocol::Pop3;
    EntryNotes* notes_ = nullptr;
    bool passwordInKeyring_ = false;
};

} // namespace vorlane
